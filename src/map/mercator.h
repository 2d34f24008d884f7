#pragma once
// Web Mercator, the projection of every tile map. Positions are kept in world
// units: the whole map is the unit square, x growing east from longitude
// -180, y growing south from the top edge at about 85.05 degrees north. A
// map at zoom z is 256 * 2^z pixels wide.

#include <algorithm>

namespace geovanta {

struct LatLon {
    double lat = 0;  // degrees, north positive
    double lon = 0;  // degrees, east positive
};

struct WorldPoint {
    double x = 0;
    double y = 0;
};

struct WorldRect {
    double left = 0, top = 0, right = 0, bottom = 0;

    double width() const { return right - left; }
    double height() const { return bottom - top; }
    bool contains(WorldPoint p) const { return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom; }
    bool contains(const WorldRect& r) const { return r.left >= left && r.right <= right && r.top >= top && r.bottom <= bottom; }
};

// Grows a bounding box; an empty box is marked by `valid` = false.
struct WorldBounds {
    WorldRect rect;
    bool valid = false;

    void add(WorldPoint p) {
        if (!valid) {
            rect = {p.x, p.y, p.x, p.y};
            valid = true;
            return;
        }
        rect.left = std::min(rect.left, p.x);
        rect.right = std::max(rect.right, p.x);
        rect.top = std::min(rect.top, p.y);
        rect.bottom = std::max(rect.bottom, p.y);
    }
};

namespace mercator {

inline constexpr double kMaxLatitude = 85.05112877980659;  // where the square ends
inline constexpr double kEarthCircumference = 40075016.68557849;  // metres at the equator (WGS 84)
inline constexpr double kTileSize = 256;

// Latitudes beyond the square's edges are drawn on the edge.
WorldPoint project(LatLon p);
LatLon unproject(WorldPoint p);

// Ground metres covered by one world unit at a world y (the scale grows
// toward the poles as 1 / cos(latitude)).
double metresPerUnit(double worldY);

// Pixels per world unit at a zoom level.
double scale(double zoom);

// Projects a run of points lying close together, as a GPS log does, at a
// fraction of project()'s cost: within two kilometres of the last latitude
// it projected in full, it extends that result by a short Taylor series
// instead of calling sin and log again. Agrees with project() to within
// 1e-12 world units (a thousandth of a pixel at the deepest zoom).
class Run {
public:
    WorldPoint project(LatLon p);

private:
    double anchor_ = 1000;  // radians; far from any latitude until the first point
    double psi_ = 0;        // atanh(sin anchor)
    double sec_ = 0, tan_ = 0;
};

}  // namespace mercator
}  // namespace geovanta

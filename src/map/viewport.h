#pragma once
// The part of the world a map panel shows: a centre in world units, a zoom
// level (fractional; the map is 256 * 2^zoom pixels wide) and the panel's
// size in pixels.

#include <optional>

#include "map/mercator.h"

namespace geovanta {

struct ScreenPoint {
    double x = 0;
    double y = 0;
};

class Viewport {
public:
    static constexpr double kMinZoom = 0;
    static constexpr double kMaxZoom = 21;  // a few centimetres per pixel
    // Fitting never zooms in further than this, so a lone point shows its streets.
    static constexpr double kMaxFitZoom = 17;

    void setSize(double width, double height);
    double width() const { return width_; }
    double height() const { return height_; }

    WorldPoint center() const { return center_; }
    void setCenter(WorldPoint center);
    double zoom() const { return zoom_; }
    void setZoom(double zoom);
    double scale() const { return scale_; }  // pixels per world unit

    ScreenPoint toScreen(WorldPoint p) const {
        return {(p.x - center_.x) * scale_ + width_ / 2, (p.y - center_.y) * scale_ + height_ / 2};
    }
    WorldPoint toWorld(ScreenPoint p) const {
        return {center_.x + (p.x - width_ / 2) / scale_, center_.y + (p.y - height_ / 2) / scale_};
    }
    WorldRect visibleRect() const;
    // The place on the globe under a panel point, as a drop there gives it;
    // nothing beside the map, where a zoomed-out world ends.
    std::optional<LatLon> positionAt(ScreenPoint p) const;

    // Moves the map with the mouse: what was at (x, y) goes to (x + dx, y + dy).
    void panBy(double dx, double dy);
    // Changes the zoom by `steps` levels, keeping the world point under `anchor` in place.
    void zoomAbout(ScreenPoint anchor, double steps);
    // Shows the whole rectangle with `margin` pixels around it, as close as kMaxFitZoom.
    void fit(const WorldRect& rect, double margin);

private:
    double width_ = 1;
    double height_ = 1;
    WorldPoint center_{0.5, 0.5};
    double zoom_ = 1;
    double scale_ = mercator::scale(1);
};

}  // namespace geovanta

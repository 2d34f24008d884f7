#include "map/mercator.h"

#include <cmath>
#include <numbers>

namespace geovanta::mercator {

WorldPoint project(LatLon p) {
    constexpr double kDeg = std::numbers::pi / 180;
    const double lat = std::clamp(p.lat, -kMaxLatitude, kMaxLatitude) * kDeg;
    // atanh(sin φ) is ln(tan(π/4 + φ/2)) with one transcendental call fewer.
    const double s = std::sin(lat);
    const double y = 0.5 - std::log((1 + s) / (1 - s)) / (4 * std::numbers::pi);
    return {(p.lon + 180) / 360, y};
}

LatLon unproject(WorldPoint p) {
    const double n = std::numbers::pi * (1 - 2 * p.y);
    return {std::atan(std::sinh(n)) * 180 / std::numbers::pi, p.x * 360 - 180};
}

double metresPerUnit(double worldY) {
    const double n = std::numbers::pi * (1 - 2 * worldY);
    // cos(atan(sinh n)) = 1 / cosh n
    return kEarthCircumference / std::cosh(n);
}

double scale(double zoom) { return kTileSize * std::exp2(zoom); }

}  // namespace geovanta::mercator

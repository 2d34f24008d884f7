#include "map/mercator.h"

#include <cmath>
#include <numbers>

namespace geovanta::mercator {

namespace {

constexpr double kDeg = std::numbers::pi / 180;

double latitudeRadians(double lat) { return std::clamp(lat, -kMaxLatitude, kMaxLatitude) * kDeg; }

// The Mercator ordinate ψ = atanh(sin φ), which is ln(tan(π/4 + φ/2)) with
// one transcendental call fewer.
double psi(double phi) {
    const double s = std::sin(phi);
    return std::log((1 + s) / (1 - s)) / 2;
}

double worldY(double psi) { return 0.5 - psi / (2 * std::numbers::pi); }

}  // namespace

WorldPoint project(LatLon p) { return {(p.lon + 180) / 360, worldY(psi(latitudeRadians(p.lat)))}; }

WorldPoint Run::project(LatLon p) {
    // The series' first neglected term is ψ'''' δ⁴ / 24, with ψ'''' growing
    // as sec φ tan³ φ; below 80 degrees and within 3e-4 radians (2 km) it
    // moves y by less than 1e-12.
    constexpr double kReach = 3e-4;
    constexpr double kSeriesLimit = 80 * kDeg;
    const double phi = latitudeRadians(p.lat);
    const double d = phi - anchor_;
    double y;
    if (std::abs(d) <= kReach) {
        // ψ' = sec φ, ψ'' = sec φ tan φ, ψ''' = sec φ (2 tan² φ + 1)
        y = worldY(psi_ + sec_ * d * (1 + d * (tan_ / 2 + d * (2 * tan_ * tan_ + 1) / 6)));
    } else {
        psi_ = psi(phi);
        y = worldY(psi_);
        if (std::abs(phi) <= kSeriesLimit) {
            anchor_ = phi;
            sec_ = 1 / std::cos(phi);
            tan_ = std::tan(phi);
        } else {
            anchor_ = 1000;  // near the poles every point is projected in full
        }
    }
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

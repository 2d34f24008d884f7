#include "geo/greatcircle.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace geovanta {
namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180;

}  // namespace

double greatCircleMetres(double lat1, double lon1, double lat2, double lon2) {
    // Haversine: well conditioned for the short distances asked most.
    const double p1 = lat1 * kRadiansPerDegree, p2 = lat2 * kRadiansPerDegree;
    const double dp = p2 - p1, dl = (lon2 - lon1) * kRadiansPerDegree;
    const double s = std::sin(dp / 2), t = std::sin(dl / 2);
    const double h = std::clamp(s * s + std::cos(p1) * std::cos(p2) * t * t, 0.0, 1.0);
    return 2 * kEarthRadiusM * std::asin(std::sqrt(h));
}

double initialBearingDegrees(double lat1, double lon1, double lat2, double lon2) {
    const double p1 = lat1 * kRadiansPerDegree, p2 = lat2 * kRadiansPerDegree;
    const double dl = (lon2 - lon1) * kRadiansPerDegree;
    const double y = std::sin(dl) * std::cos(p2);
    const double x = std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl);
    if (x == 0 && y == 0) return 0;
    const double degrees = std::atan2(y, x) / kRadiansPerDegree;
    return degrees < 0 ? degrees + 360 : (degrees >= 360 ? degrees - 360 : degrees);
}

}  // namespace geovanta

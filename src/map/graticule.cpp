#include "map/graticule.h"

#include <algorithm>
#include <cmath>

namespace geovanta {
namespace {

constexpr double kSteps[] = {180,      90,       45,       30,       20,       10,        5,         2,
                             1,        30. / 60, 20. / 60, 10. / 60, 5. / 60,   2. / 60,   1. / 60,
                             30. / 3600, 20. / 3600, 10. / 3600, 5. / 3600, 2. / 3600, 1. / 3600};

// The multiples of `step` from `from` to `to`, counted as whole multiples so
// that the values do not drift.
std::vector<double> multiples(double step, double from, double to) {
    std::vector<double> out;
    const double first = std::ceil(from / step);
    const double last = std::floor(to / step);
    for (double k = first; k <= last; ++k) out.push_back(k * step);
    return out;
}

}  // namespace

Graticule Graticule::forView(const Viewport& view, double minSpacing) {
    Graticule g;
    // Longitude lines are evenly spaced; latitude lines only spread out
    // toward the poles, so the longitude spacing decides.
    const double pixelsPerDegree = view.scale() / 360;
    g.step = kSteps[0];
    for (double step : kSteps) {
        if (step * pixelsPerDegree < minSpacing) break;
        g.step = step;
    }
    const WorldRect r = view.visibleRect();
    const LatLon topLeft = mercator::unproject({std::max(r.left, 0.0), std::max(r.top, 0.0)});
    const LatLon bottomRight = mercator::unproject({std::min(r.right, 1.0), std::min(r.bottom, 1.0)});
    g.longitudes = multiples(g.step, topLeft.lon, bottomRight.lon);
    g.latitudes = multiples(g.step, bottomRight.lat, topLeft.lat);
    std::reverse(g.latitudes.begin(), g.latitudes.end());
    return g;
}

}  // namespace geovanta

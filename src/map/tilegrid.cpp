#include "map/tilegrid.h"

#include <algorithm>
#include <cmath>

namespace geovanta {

TileCoverage TileCoverage::forView(const Viewport& view, int maxTileZoom) {
    TileCoverage c;
    c.zoom = std::clamp(static_cast<int>(std::lround(view.zoom())), 0, std::max(0, maxTileZoom));
    const double count = std::exp2(c.zoom);  // tiles per side
    const double size = view.scale() / count;
    const WorldRect r = view.visibleRect();
    const int last = static_cast<int>(count) - 1;
    const int x0 = std::max(0, static_cast<int>(std::floor(r.left * count)));
    const int x1 = std::min(last, static_cast<int>(std::floor(r.right * count)));
    const int y0 = std::max(0, static_cast<int>(std::floor(r.top * count)));
    const int y1 = std::min(last, static_cast<int>(std::floor(r.bottom * count)));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const ScreenPoint at = view.toScreen({x / count, y / count});
            c.tiles.push_back({{c.zoom, x, y}, at.x, at.y, size});
        }
    }
    const double cx = view.width() / 2, cy = view.height() / 2;
    auto distance = [&](const TilePlacement& t) {
        const double dx = t.left + t.size / 2 - cx, dy = t.top + t.size / 2 - cy;
        return dx * dx + dy * dy;
    };
    std::stable_sort(c.tiles.begin(), c.tiles.end(),
                     [&](const TilePlacement& a, const TilePlacement& b) { return distance(a) < distance(b); });
    return c;
}

}  // namespace geovanta

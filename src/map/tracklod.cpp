#include "map/tracklod.h"

#include <algorithm>
#include <cmath>

namespace geovanta {
namespace {

// Indices of the points that lie at least `tolerance` from the last kept
// one, and of the final point.
std::vector<uint32_t> thin(const std::vector<WorldPoint>& points, double tolerance) {
    std::vector<uint32_t> kept;
    if (points.empty()) return kept;
    const double t2 = tolerance * tolerance;
    WorldPoint last = points[0];
    kept.push_back(0);
    const auto n = static_cast<uint32_t>(points.size());
    for (uint32_t i = 1; i < n; ++i) {
        const double dx = points[i].x - last.x;
        const double dy = points[i].y - last.y;
        if (dx * dx + dy * dy >= t2) {
            kept.push_back(i);
            last = points[i];
        }
    }
    if (kept.back() != n - 1) kept.push_back(n - 1);
    return kept;
}

std::vector<WorldRect> blockBoxes(const std::vector<WorldPoint>& points, const TrackLod::Level& level) {
    std::vector<WorldRect> boxes;
    const std::size_t n = level.size(points);
    for (std::size_t first = 0; first < n; first += TrackLod::kBlock) {
        const std::size_t end = std::min(n, first + TrackLod::kBlock + 1);
        WorldBounds b;
        for (std::size_t i = first; i < end; ++i) b.add(points[level.index(i)]);
        boxes.push_back(b.rect);
    }
    return boxes;
}

}  // namespace

int TrackLod::levelFor(double zoom) {
    const double level = std::ceil(zoom - 1e-9);
    if (!(level >= 0)) return 0;
    return level >= kLevels ? kLevels : static_cast<int>(level);
}

const TrackLod::Level& TrackLod::level(const std::vector<WorldPoint>& points, double zoom) const {
    const int z = levelFor(zoom);
    Slot& slot = (*levels_)[static_cast<std::size_t>(z)];
    if (!slot.made) {
        Level& l = slot.level;
        if (z < kLevels) l.kept = thin(points, kTolerancePx / mercator::scale(z));
        l.all = z == kLevels || l.kept.size() == points.size();
        if (l.all) std::vector<uint32_t>().swap(l.kept);
        l.blocks = blockBoxes(points, l);
        slot.made = true;
    }
    return slot.level;
}

}  // namespace geovanta

#include "map/tracklod.h"

#include <cmath>

namespace geovanta {
namespace {

// Keeps the indices of `source` (every point when null) that lie at least
// `tolerance` from the last kept one, and the final point.
std::vector<uint32_t> thin(const std::vector<WorldPoint>& points, const std::vector<uint32_t>* source,
                           double tolerance) {
    const std::size_t n = source ? source->size() : points.size();
    std::vector<uint32_t> kept;
    if (n == 0) return kept;
    auto at = [&](std::size_t i) { return source ? (*source)[i] : static_cast<uint32_t>(i); };
    const double t2 = tolerance * tolerance;
    uint32_t last = at(0);
    kept.push_back(last);
    for (std::size_t i = 1; i < n; ++i) {
        const uint32_t k = at(i);
        const double dx = points[k].x - points[last].x;
        const double dy = points[k].y - points[last].y;
        if (dx * dx + dy * dy >= t2) {
            kept.push_back(k);
            last = k;
        }
    }
    if (const uint32_t end = at(n - 1); kept.back() != end) kept.push_back(end);
    return kept;
}

}  // namespace

TrackLod::TrackLod(const std::vector<WorldPoint>& points) {
    slot_.fill(kAll);
    store_.reserve(kLevels);  // `finer` points into the store
    const std::vector<uint32_t>* finer = nullptr;
    int16_t finerSlot = kAll;
    for (int level = kLevels - 1; level >= 0; --level) {
        const std::size_t finerSize = finer ? finer->size() : points.size();
        std::vector<uint32_t> kept = thin(points, finer, kTolerancePx / mercator::scale(level));
        if (kept.size() < finerSize) {
            store_.push_back(std::move(kept));
            finerSlot = static_cast<int16_t>(store_.size() - 1);
        }
        slot_[static_cast<std::size_t>(level)] = finerSlot;
        finer = finerSlot == kAll ? nullptr : &store_[static_cast<std::size_t>(finerSlot)];
    }
}

int TrackLod::levelFor(double zoom) {
    const double level = std::ceil(zoom - 1e-9);
    if (!(level >= 0)) return 0;
    return level >= kLevels ? kLevels : static_cast<int>(level);
}

const std::vector<uint32_t>* TrackLod::indices(double zoom) const {
    const int level = levelFor(zoom);
    if (level >= kLevels) return nullptr;
    const int16_t slot = slot_[static_cast<std::size_t>(level)];
    return slot == kAll ? nullptr : &store_[static_cast<std::size_t>(slot)];
}

}  // namespace geovanta

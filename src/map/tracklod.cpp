#include "map/tracklod.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace geovanta {
namespace {

double toleranceAt(int z) { return TrackLod::kTolerancePx / mercator::scale(z); }

bool farEnough(WorldPoint p, WorldPoint last, double t2) {
    const double dx = p.x - last.x;
    const double dy = p.y - last.y;
    return dx * dx + dy * dy >= t2;
}

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
        if (farEnough(points[i], last, t2)) {
            kept.push_back(i);
            last = points[i];
        }
    }
    if (kept.back() != n - 1) kept.push_back(n - 1);
    return kept;
}

WorldRect blockBox(const std::vector<WorldPoint>& points, const TrackLod::Level& level, std::size_t block) {
    const std::size_t first = block * TrackLod::kBlock;
    const std::size_t end = std::min(level.size(points), first + TrackLod::kBlock + 1);
    WorldBounds b;
    for (std::size_t i = first; i < end; ++i) b.add(points[level.index(i)]);
    return b.rect;
}

std::size_t blockCount(std::size_t size) { return (size + TrackLod::kBlock - 1) / TrackLod::kBlock; }

// Block b's box covers positions b * kBlock to (b + 1) * kBlock, both
// included; the first block that reaches position `position`.
std::size_t firstBlockReaching(std::size_t position) {
    return position == 0 ? 0 : (position - 1) / TrackLod::kBlock;
}

// The level's run of kept points from position `from` on, as the thinning
// makes it for the changed line: `added` points from `first` on replaced
// `removed` old ones. Stops where it keeps a point the old level kept too,
// since from there on the two cannot differ; `resume` is then that point's
// position in the old level, else the old level's size.
struct Rethinned {
    std::size_t from = 0;
    std::vector<uint32_t> fresh;
    std::size_t resume = 0;
};

Rethinned rethin(const TrackLod::Level& old, std::size_t oldSize, const std::vector<WorldPoint>& points, double t2,
                 std::size_t first, std::size_t removed, std::size_t added) {
    auto oldAt = [&](std::size_t q) -> std::size_t { return old.all ? q : old.kept[q]; };
    const std::size_t oldCount = old.all ? oldSize : old.kept.size();
    auto positionOf = [&](std::size_t index) {
        if (old.all) return index;
        return static_cast<std::size_t>(std::lower_bound(old.kept.begin(), old.kept.end(), index) - old.kept.begin());
    };
    Rethinned r;
    r.from = positionOf(first);
    // The old line's final point is kept whatever its distance: when a change
    // follows it, the thinning goes on from the point kept before it.
    if (r.from == oldCount && r.from > 1) --r.from;
    std::size_t q = positionOf(first + removed);
    const std::size_t n = points.size();
    std::size_t i = 0;
    WorldPoint last{};
    if (r.from == 0) {
        if (n > 0) {
            r.fresh.push_back(0);
            last = points[0];
        }
        i = 1;
    } else {
        // Before the change a point has the same index in both lines.
        i = oldAt(r.from - 1);
        last = points[i++];
    }
    for (; i < n; ++i) {
        if (!farEnough(points[i], last, t2)) continue;
        if (i >= first + added) {
            const std::size_t oldIndex = i - added + removed;
            while (q < oldCount && oldAt(q) < oldIndex) ++q;
            if (q < oldCount && oldAt(q) == oldIndex) {
                r.resume = q;
                return r;
            }
        }
        r.fresh.push_back(static_cast<uint32_t>(i));
        last = points[i];
    }
    r.resume = oldCount;
    const bool lastKept = r.fresh.empty() ? (r.from == 0 || oldAt(r.from - 1) == n - 1) : r.fresh.back() == n - 1;
    if (n > 0 && !lastKept) r.fresh.push_back(static_cast<uint32_t>(n - 1));
    return r;
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
    Level& l = slot.level;
    if (!slot.made) {
        if (z < kLevels) l.kept = thin(points, toleranceAt(z));
        l.all = z == kLevels || l.kept.size() == points.size();
        if (l.all) std::vector<uint32_t>().swap(l.kept);
        l.blocks.resize(blockCount(l.size(points)));
        slot.staleFrom = 0;
        slot.staleTo = l.blocks.size();
        slot.made = true;
    }
    const std::size_t end = std::min(slot.staleTo, l.blocks.size());
    for (std::size_t b = slot.staleFrom; b < end; ++b) l.blocks[b] = blockBox(points, l, b);
    slot.staleFrom = slot.staleTo = 0;
    return l;
}

void TrackLod::replace(const std::vector<WorldPoint>& points, std::size_t first, std::size_t removed,
                       std::size_t added) {
    // Another copy of the snapshot still draws the old line.
    if (levels_.use_count() > 1) levels_ = std::make_shared<std::array<Slot, kLevels + 1>>(*levels_);
    for (int z = 0; z <= kLevels; ++z) {
        Slot& slot = (*levels_)[static_cast<std::size_t>(z)];
        if (slot.made) mend(slot, z, points, first, removed, added);
    }
}

void TrackLod::mend(Slot& slot, int z, const std::vector<WorldPoint>& points, std::size_t first, std::size_t removed,
                    std::size_t added) {
    Level& l = slot.level;
    const std::size_t n = points.size();
    const std::size_t oldSize = n + removed - added;
    const std::size_t oldCount = l.all ? oldSize : l.kept.size();
    // Positions [from, changedTo) of the level hold other points than before;
    // when the level's length changed, so does everything after them.
    std::size_t from = first, changedTo = first + added, newCount = n;
    if (z < kLevels) {
        const double t = toleranceAt(z);
        Rethinned r = rethin(l, oldSize, points, t * t, first, removed, added);
        from = r.from;
        changedTo = from + r.fresh.size();
        newCount = changedTo + (oldCount - r.resume);
        if (newCount == n) {
            l.all = true;
            std::vector<uint32_t>().swap(l.kept);
        } else {
            if (l.all) {
                l.kept.resize(oldSize);
                std::iota(l.kept.begin(), l.kept.end(), uint32_t{0});
                l.all = false;
            }
            std::vector<uint32_t>& kept = l.kept;
            const std::size_t replaced = r.resume - from;
            if (r.fresh.size() > replaced) {
                kept.insert(kept.begin() + static_cast<std::ptrdiff_t>(r.resume), r.fresh.size() - replaced, 0);
            } else {
                kept.erase(kept.begin() + static_cast<std::ptrdiff_t>(changedTo),
                           kept.begin() + static_cast<std::ptrdiff_t>(r.resume));
            }
            std::copy(r.fresh.begin(), r.fresh.end(), kept.begin() + static_cast<std::ptrdiff_t>(from));
            if (added != removed) {
                const auto shift = static_cast<uint32_t>(added - removed);  // wraps round for a removal
                for (std::size_t k = changedTo; k < kept.size(); ++k) kept[k] += shift;
            }
        }
    }
    l.blocks.resize(blockCount(newCount));
    const std::size_t staleFrom = firstBlockReaching(from);
    const std::size_t staleTo = newCount != oldCount ? l.blocks.size()
                                : changedTo > from   ? (changedTo - 1) / kBlock + 1
                                                     : staleFrom;
    if (staleFrom >= staleTo) return;
    if (slot.staleFrom >= slot.staleTo) {
        slot.staleFrom = staleFrom;
        slot.staleTo = staleTo;
    } else {
        slot.staleFrom = std::min(slot.staleFrom, staleFrom);
        slot.staleTo = std::max(slot.staleTo, staleTo);
    }
}

}  // namespace geovanta

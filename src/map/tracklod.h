#pragma once
// Level-of-detail copies of one track line, one per whole zoom level, so that
// drawing costs what the screen shows rather than what the GPS recorded. A
// level keeps a point only when it lies at least half a pixel (at that
// level's scale) from the previously kept one, and always keeps both ends,
// so the drawn line strays less than half a pixel from the recorded one.
// Each level is made the first time a paint needs it, in one pass over the
// points; a snapshot taken after a pass thus costs nothing for zooms nobody
// looks at. A level also keeps the bounding box of every run of kBlock
// segments, so that a close view skips the runs it cannot see.
//
// When a few points of the line change, the levels already made are mended
// where the change reaches rather than made again: the thinning only ever
// looks back to the last kept point, so past the change it falls back into
// step with the old level within a few points, and the rest of the old
// level stands. A mended level is exactly the level a fresh start would make.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "map/mercator.h"

namespace geovanta {

class TrackLod {
public:
    static constexpr int kLevels = 21;  // zoom 0 to 20; finer zooms draw every point
    static constexpr double kTolerancePx = 0.5;
    static constexpr std::size_t kBlock = 256;

    struct Level {
        bool all = false;             // nothing thinned: the points themselves
        std::vector<uint32_t> kept;   // otherwise the indices of the points kept
        // Box of block b: points b * kBlock to (b + 1) * kBlock of the level,
        // the first point of the next block included, so every segment lies
        // wholly in some block's box.
        std::vector<WorldRect> blocks;

        std::size_t size(const std::vector<WorldPoint>& points) const { return all ? points.size() : kept.size(); }
        uint32_t index(std::size_t i) const { return all ? static_cast<uint32_t>(i) : kept[i]; }
    };

    // The level to draw at a zoom. `points` must be the same line on every call.
    const Level& level(const std::vector<WorldPoint>& points, double zoom) const;
    // Which level serves a zoom: its whole level rounded up, never coarser.
    static int levelFor(double zoom);

    // The line changed: `added` points from `first` on in `points` took the
    // place of `removed` points from `first` on. Copies of this object made
    // before keep the levels of the line as it was.
    void replace(const std::vector<WorldPoint>& points, std::size_t first, std::size_t removed, std::size_t added);

private:
    // Made on demand by const paints; shared by copies of a snapshot.
    // One more than kLevels: the last holds every point, for the finest zooms.
    struct Slot {
        bool made = false;
        Level level;
        // Blocks whose boxes a change left out of date, redrawn when next asked for.
        std::size_t staleFrom = 0, staleTo = 0;
    };
    static void mend(Slot& slot, int z, const std::vector<WorldPoint>& points, std::size_t first, std::size_t removed,
                     std::size_t added);
    std::shared_ptr<std::array<Slot, kLevels + 1>> levels_ = std::make_shared<std::array<Slot, kLevels + 1>>();
};

}  // namespace geovanta

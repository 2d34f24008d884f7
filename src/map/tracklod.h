#pragma once
// Level-of-detail copies of one track line, one per whole zoom level, so that
// drawing costs what the screen shows rather than what the GPS recorded. A
// level keeps a point only when it lies at least half a pixel (at that
// level's scale) from the previously kept one, and always keeps both ends.
// Each level is thinned from the next finer one, so the drawn line strays
// less than a pixel from the recorded one at the zoom it is drawn at.

#include <array>
#include <cstdint>
#include <vector>

#include "map/mercator.h"

namespace geovanta {

class TrackLod {
public:
    static constexpr int kLevels = 21;  // zoom 0 to 20; finer zooms draw every point
    static constexpr double kTolerancePx = 0.5;

    TrackLod() { slot_.fill(kAll); }
    explicit TrackLod(const std::vector<WorldPoint>& points);

    // Indices of the points to draw at a zoom, in order; nullptr when every
    // point is to be drawn.
    const std::vector<uint32_t>* indices(double zoom) const;
    // Which stored level serves a zoom: its whole level rounded up.
    static int levelFor(double zoom);

private:
    static constexpr int16_t kAll = -1;
    std::vector<std::vector<uint32_t>> store_;
    // Where each level lives in store_; a level that thins nothing shares its finer neighbour's.
    std::array<int16_t, kLevels> slot_{};
};

}  // namespace geovanta

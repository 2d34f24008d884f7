#pragma once
// What one paint of the map draws, in panel pixels: the visible pieces of
// the track lines at the level of detail the zoom needs, and the marks that
// fall inside the panel, at most one per few pixels, so a paint costs what
// the screen can show whatever the table holds. Built without a screen; the
// painter only strokes what it is given.

#include <cstddef>
#include <optional>
#include <vector>

#include "map/mapdata.h"
#include "map/viewport.h"

namespace geovanta {

struct ScenePolyline {
    std::size_t track = 0;  // index into MapData::tracks
    std::vector<ScreenPoint> points;
};

struct SceneMark {
    ScreenPoint at;
    std::size_t index = 0;  // into MapData::waypoints or MapData::photos
    bool labelled = false;  // waypoints: room for the name beside it
};

struct MapScene {
    // Lines are cut this far outside the panel, so that thick strokes still reach its edge.
    static constexpr double kMargin = 8;
    // One mark per cell of this many pixels square.
    static constexpr double kMarkCell = 5;
    // A waypoint name gets a label cell of this size to itself.
    static constexpr double kLabelWidth = 96;
    static constexpr double kLabelHeight = 16;

    std::vector<ScenePolyline> lines;
    std::vector<SceneMark> waypoints;
    std::vector<SceneMark> photos;
    std::optional<ScreenPoint> current;  // the current row, when it is on the map and in view

    static MapScene build(const MapData& data, const Viewport& view, std::optional<std::size_t> currentRow);
};

// Cuts the segment a-b to the rectangle; false when nothing of it is inside.
bool clipSegment(ScreenPoint& a, ScreenPoint& b, double left, double top, double right, double bottom);

}  // namespace geovanta

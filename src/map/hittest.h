#pragma once
// Which row a click on the map means: the nearest photograph within reach,
// else the nearest waypoint, else the nearest track point, so that a mark
// drawn over a line wins over the line beneath it.

#include <cstddef>
#include <optional>

#include "map/mapdata.h"
#include "map/viewport.h"

namespace geovanta {

struct MapHit {
    enum class Kind { Photo, Waypoint, TrackPoint };
    Kind kind;
    std::size_t row;
};

std::optional<MapHit> hitTest(const MapData& data, const Viewport& view, ScreenPoint at, double radius);

}  // namespace geovanta

#pragma once
// What the map shows, taken from the record table after a binding pass: the
// track lines, the waypoints and the photographs, each remembering its table
// row so that the map and the grid can point at the same thing. A snapshot:
// it does not follow later edits; the map is given a new one after each pass.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "map/mercator.h"
#include "map/tracklod.h"

namespace geovanta {

class DataTable;

struct MapTrack {
    std::string name;                // the point names' part before "-", e.g. "T01"
    std::vector<WorldPoint> points;  // in table order
    std::vector<std::size_t> rows;   // table row of each point, increasing
    TrackLod lod;                    // of `points`
};

struct MapMark {
    WorldPoint at;
    std::size_t row = 0;
    std::string name;
};

struct MapData {
    std::vector<MapTrack> tracks;
    std::vector<MapMark> waypoints;  // in table order
    std::vector<MapMark> photos;     // placed photographs, in table order
    std::vector<MapMark> unplaced;   // photographs without a position (`at` unused)
    WorldBounds bounds;              // of everything with a position

    // Track points (kind "T") are joined into one line per track name in
    // table order; waypoints ("P") and photographs ("F") become marks. A row
    // has a position when its latitude is not 0; rows without one are left
    // out, except photographs, which go to the unplaced list.
    static MapData fromTable(const DataTable& table);

    // Where a row is drawn, when it is drawn at all.
    std::optional<WorldPoint> positionOf(std::size_t row) const;
    // Index of a row in the unplaced list.
    std::optional<std::size_t> unplacedIndexOf(std::size_t row) const;
};

}  // namespace geovanta

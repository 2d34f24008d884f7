#pragma once
// What the map shows, taken from the record table after a binding pass: the
// track lines, the waypoints and the photographs, each remembering its table
// row so that the map and the grid can point at the same thing. A pass
// reorders the whole table, so the map takes a new snapshot after each; in
// between, the table changes a row at a time (an edit in the grid, a row
// inserted or deleted, a photograph placed by hand) and the snapshot follows
// each such change at the cost of what the row touches.

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

// What the map makes of one table row.
struct MapRow {
    enum class Kind { None, TrackPoint, Waypoint, Photo };
    Kind kind = Kind::None;
    // Where it is drawn; a photograph without one waits in the unplaced list,
    // anything else without one is not shown.
    std::optional<WorldPoint> at;
    std::string name;  // a track point's track name, else the label

    static MapRow of(const DataTable& table, std::size_t row);
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

    // What row `row` is now: its kind, name or position changed.
    void updateRow(std::size_t row, const MapRow& now);
    // A row came in before row `row`; it and the rows after it move down one.
    void insertRow(std::size_t row, const MapRow& now);
    // Row `row` went; the rows after it move up one.
    void removeRow(std::size_t row);

    // Where a row is drawn, when it is drawn at all.
    std::optional<WorldPoint> positionOf(std::size_t row) const;
    // Index of a row in the unplaced list.
    std::optional<std::size_t> unplacedIndexOf(std::size_t row) const;
};

}  // namespace geovanta

#pragma once
// When a row counts as having a position. A latitude of exactly 0 (which an
// empty field also reads as) means "no position": the grid colours, the popup
// menu, the tag writer and the map all ask here. A photograph placed by hand
// has the position it was given, the equator included.

#include <cstddef>

#include "table/datatable.h"

namespace geovanta {

// The track and waypoint formats' mark for "no altitude", in feet.
inline constexpr double kNoAltitudeFeet = -777;

inline bool hasPosition(const DataTable& table, std::size_t row) {
    return table.real(row, FieldId::Lat) != 0 || table.placedByHand(row);
}

// OziExplorer takes a waypoint at longitude 0 for an empty one, so a waypoint
// needs both coordinates.
inline bool hasWaypointPosition(const DataTable& table, std::size_t row) {
    return hasPosition(table, row) && table.real(row, FieldId::Lon) != 0;
}

}  // namespace geovanta

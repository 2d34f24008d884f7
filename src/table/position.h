#pragma once
// When a row counts as having a position: the grid colours, the popup menu,
// the tag writer, the CSV and the map all ask here. For a track point or a
// waypoint a latitude of exactly 0 (which an empty field also reads as) means
// "no position", as its file formats have it. A photograph has one when the
// pass gave it one (every pass empties the unplaced ones' coordinates) or a
// person placed it: the equator and the prime meridian are places like any other.

#include <cstddef>

#include "table/datatable.h"

namespace geovanta {

// The track and waypoint formats' mark for "no altitude", in feet.
inline constexpr double kNoAltitudeFeet = -777;
// Far above any aircraft and below any trench; a value beyond it is a damaged
// or nonsense altitude, never one to show, interpolate or write.
inline constexpr double kMaxAltitudeFeet = 1'000'000;

inline bool altitudeInRange(double feet) { return feet >= -kMaxAltitudeFeet && feet <= kMaxAltitudeFeet; }

inline bool hasPosition(const DataTable& table, std::size_t row) {
    if (table.isPhoto(row)) return !table.isNull(row, FieldId::Lat) || table.placedByHand(row);
    return table.real(row, FieldId::Lat) != 0;
}

// Whether VLat or VLon (`stored` is Lat or Lon) shows a coordinate: not for
// an empty one, nor for a photograph without a position, whose 0 would read
// as a real place.
inline bool showsCoordinate(const DataTable& table, std::size_t row, FieldId stored) {
    return !table.isNull(row, stored) && (!table.isPhoto(row) || hasPosition(table, row));
}

// Whether VElev shows an altitude: not for an empty one nor the formats' mark
// for none, which are not 0 m or -236 m.
inline bool showsAltitude(const DataTable& table, std::size_t row) {
    const auto elev = table.optReal(row, FieldId::Elev);
    return elev && *elev != kNoAltitudeFeet;
}

// OziExplorer takes a waypoint at latitude or longitude 0 for an empty one,
// so a photograph sent there needs both coordinates off them (a hand
// placement counts for the latitude, as it always has).
inline bool hasWaypointPosition(const DataTable& table, std::size_t row) {
    return (table.real(row, FieldId::Lat) != 0 || table.placedByHand(row)) && table.real(row, FieldId::Lon) != 0;
}

}  // namespace geovanta

#pragma once
// The elevation a photograph placed by hand takes: the ground the track
// recorded nearby, when it recorded any.

#include <optional>

namespace geovanta {

class DataTable;

// How far from a placed photograph a track point still tells its elevation.
inline constexpr double kElevationReachMetres = 100;

// The elevation, in feet as stored, of the track point or waypoint nearest
// to (lat, lon) among those with a known elevation, when it lies within
// `reachMetres`; nothing otherwise.
std::optional<double> nearestElevation(const DataTable& table, double lat, double lon,
                                       double reachMetres = kElevationReachMetres);

}  // namespace geovanta

#pragma once
// Which way, and how fast, the track was going when a photograph was taken:
// the leg the pass placed it on. This is the direction of travel, not the
// one the lens faced.

#include <cstddef>
#include <optional>

#include "binding/calcpositions.h"
#include "table/datatable.h"

namespace geovanta {

// Slower than this is standing, where a direction means nothing: a receiver
// at rest wanders a few metres this way and that.
inline constexpr double kMovingMetresPerSecond = 1;

struct Travel {
    double bearingDegrees = 0;  // clockwise from true north, [0, 360)
    double speedKmh = 0;

    bool operator==(const Travel&) const = default;
};

// The direction and speed of the leg that the pass placed the photograph at
// `row` on, by the rules in `params`; nothing for a photograph the pass did
// not place (placed by hand, in a privacy zone, unplaced) or one taken
// moving at kMovingMetresPerSecond or slower.
std::optional<Travel> travelAt(const DataTable& table, std::size_t row, const BindingParams& params);

}  // namespace geovanta

#pragma once
#include <cstddef>
#include <cstdint>

#include "binding/placenaming.h"
#include "binding/privacyzones.h"

namespace geovanta {

class DataTable;

struct BindingParams {
    double trackOffset = 0;   // days, added to Time of every non-photo row
    double photoOffset = 0;   // days, added to Time of photo rows
    int32_t tolerance = 300;  // seconds, exclusive
    // A photograph whose camera recorded its zone is first brought to UTC by
    // it; the others take the photo offset alone.
    bool photoZones = false;
    // A photograph whose position would fall inside one of these is not placed.
    PrivacyZones privacyZones{};
    // How the photographs' places are named once they are placed.
    PlaceNaming naming{};
};

// Flat-earth distance in metres; the longitude difference is scaled by the
// cosine of the first point's latitude, so the result is not symmetric.
double PlaneDistance(double lat1, double lon1, double lat2, double lon2);

// The time of the photograph at `row` that the photo offset is added to, in
// milliseconds: its own time, brought to UTC by its zone when `photoZones`
// and it has one.
int64_t photoTimeBeforeOffset(const DataTable& table, std::size_t row, bool photoZones);

// The binding pass over the whole table: shifted times, shifted-time order,
// leg distances and speeds, and interpolated positions of the photographs
// that lie within the tolerance of a neighbouring non-photo row and outside
// every privacy zone. Every other
// photograph is left without a position, whatever an earlier pass gave it
// (binding/placement.h says why), except one placed by hand, which keeps the
// position it was given. Then names every photograph's place by `naming`
// (namePlaces). Leaves the cursor on the first row.
void CalcPositions(DataTable& table, const BindingParams& params);

}  // namespace geovanta

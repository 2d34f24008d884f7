#pragma once
#include <cstdint>

namespace geovanta {

class DataTable;

struct BindingParams {
    double trackOffset = 0;   // days, added to Time of every non-photo row
    double photoOffset = 0;   // days, added to Time of photo rows
    int32_t tolerance = 300;  // seconds, exclusive
};

// Flat-earth distance in metres; the longitude difference is scaled by the
// cosine of the first point's latitude, so the result is not symmetric.
double PlaneDistance(double lat1, double lon1, double lat2, double lon2);

// The binding pass over the whole table: shifted times, shifted-time order,
// leg distances and speeds, and interpolated positions of the photographs
// that lie within the tolerance of a neighbouring non-photo row. Every other
// photograph is left without a position, whatever an earlier pass gave it
// (binding/placement.h says why), except one placed by hand, which keeps the
// position it was given. Leaves the cursor on the first row.
void CalcPositions(DataTable& table, const BindingParams& params);

}  // namespace geovanta

#include "binding/nearestelevation.h"

#include <cmath>

#include "binding/calcpositions.h"
#include "table/datatable.h"
#include "table/position.h"

namespace geovanta {
namespace {

// Metres per degree of latitude, as PlaneDistance counts them.
constexpr double kMetresPerDegree = 111197;

}  // namespace

std::optional<double> nearestElevation(const DataTable& table, double lat, double lon, double reachMetres) {
    std::optional<double> found;
    double best = reachMetres;
    // A point further north or south than the reach cannot be within it:
    // most of a long track is passed over without a cosine.
    const double latReach = reachMetres / kMetresPerDegree;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        const char kind = table.stat(row);
        if (kind != 'T' && kind != 'P') continue;
        const double pointLat = table.real(row, FieldId::Lat);
        if (!(std::fabs(pointLat - lat) <= latReach) || !hasPosition(table, row)) continue;
        const std::optional<double> elev = table.optReal(row, FieldId::Elev);
        if (!elev || *elev == kNoAltitudeFeet || !altitudeInRange(*elev)) continue;
        const double d = PlaneDistance(lat, lon, pointLat, table.real(row, FieldId::Lon));
        if (d < best || (!found && d <= best)) {  // of equally near points, the first
            best = d;
            found = elev;
        }
    }
    return found;
}

}  // namespace geovanta

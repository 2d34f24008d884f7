#include "binding/travel.h"

#include "binding/placement.h"
#include "geo/greatcircle.h"

namespace geovanta {

std::optional<Travel> travelAt(const DataTable& table, std::size_t row, const BindingParams& params) {
    if (row >= table.rowCount() || !table.isPhoto(row)) return std::nullopt;
    if (explainPlacement(table, row, params).kind != PlacementKind::Placed) return std::nullopt;
    const LegRows leg = legAround(table, row);
    const std::size_t a = *leg.prev, b = *leg.next;  // a placed photograph lies between two points
    const int64_t ms = table.timeMs(b, FieldId::VTime) - table.timeMs(a, FieldId::VTime);
    if (ms <= 0) return std::nullopt;
    const double lat1 = table.real(a, FieldId::Lat), lon1 = table.real(a, FieldId::Lon);
    const double lat2 = table.real(b, FieldId::Lat), lon2 = table.real(b, FieldId::Lon);
    const double metresPerSecond = greatCircleMetres(lat1, lon1, lat2, lon2) * 1000 / static_cast<double>(ms);
    if (!(metresPerSecond > kMovingMetresPerSecond)) return std::nullopt;
    return Travel{initialBearingDegrees(lat1, lon1, lat2, lon2), metresPerSecond * 3.6};
}

}  // namespace geovanta

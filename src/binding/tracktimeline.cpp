#include "binding/tracktimeline.h"

#include <algorithm>

#include "binding/placement.h"
#include "table/datatable.h"

namespace geovanta {
namespace {

bool earlier(const TrackTimeline::Point& a, const TrackTimeline::Point& b) { return a.timeMs < b.timeMs; }

}  // namespace

TrackTimeline::TrackTimeline(std::vector<Point> points) : points_(std::move(points)) {
    // Tracks come in time order almost always; a check is far cheaper than a sort.
    if (!std::is_sorted(points_.begin(), points_.end(), earlier))
        std::stable_sort(points_.begin(), points_.end(), earlier);
}

TrackTimeline TrackTimeline::fromTable(const DataTable& table) {
    std::vector<Point> points;
    points.reserve(table.rowCount());
    for (std::size_t row = 0; row < table.rowCount(); ++row)
        if (!table.isPhoto(row))
            points.push_back({table.timeMs(row, FieldId::VTime), table.real(row, FieldId::Lat),
                              table.real(row, FieldId::Lon)});
    return TrackTimeline(std::move(points));
}

std::optional<TrackTimeline::Position> TrackTimeline::positionAt(int64_t t, int32_t toleranceSeconds) const {
    const auto next = std::upper_bound(points_.begin(), points_.end(), t,
                                       [](int64_t v, const Point& p) { return v < p.timeMs; });
    if (next == points_.begin() || next == points_.end()) return std::nullopt;
    const Point& a = *(next - 1);
    const Point& b = *next;
    if (decidePlacement(t, a.timeMs, b.timeMs, toleranceSeconds).kind != PlacementKind::Placed) return std::nullopt;
    const double r = b.timeMs == a.timeMs ? 0.0 : static_cast<double>(t - a.timeMs) / static_cast<double>(b.timeMs - a.timeMs);
    return Position{a.lat + r * (b.lat - a.lat), a.lon + r * (b.lon - a.lon),
                    static_cast<std::size_t>(next - points_.begin()) - 1};
}

}  // namespace geovanta

#include "map/mapdata.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <unordered_map>

#include "map/vectorstate.h"
#include "table/datatable.h"

namespace geovanta {
namespace {

std::optional<LatLon> positionOfRow(const DataTable& table, std::size_t row) {
    const double lat = table.real(row, FieldId::Lat);
    const double lon = table.real(row, FieldId::Lon);
    // Latitude 0 means "no position"; values off the globe cannot be drawn.
    if (lat == 0 || !(std::abs(lat) <= 90) || !(std::abs(lon) <= 180)) return std::nullopt;
    return LatLon{lat, lon};
}

std::string_view trackNameOf(std::string_view pointName) { return pointName.substr(0, pointName.find('-')); }

// Finds the entry for `row` in a list kept in row order.
template <typename List, typename RowOf>
std::optional<std::size_t> findRow(const List& list, std::size_t row, RowOf rowOf) {
    auto it = std::lower_bound(list.begin(), list.end(), row,
                               [&](const auto& item, std::size_t r) { return rowOf(item) < r; });
    if (it == list.end() || rowOf(*it) != row) return std::nullopt;
    return static_cast<std::size_t>(it - list.begin());
}

}  // namespace

MapData MapData::fromTable(const DataTable& table) {
    clearUpperVectorState();  // a projection per row: keep the maths library at full speed
    MapData data;
    mercator::Run run;
    std::unordered_map<std::string, std::size_t> trackIndex;
    // Consecutive points nearly always share a track; skip the lookup for them.
    std::size_t lastTrack = 0;
    bool haveLast = false;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        const char kind = table.stat(row);
        if (kind != 'T' && kind != 'P' && kind != 'F') continue;
        const std::optional<LatLon> where = positionOfRow(table, row);
        const std::string_view name = table.text(row, FieldId::Name);
        if (!where) {
            if (kind == 'F') data.unplaced.push_back({{}, row, table.displayText(row, FieldId::Name)});
            continue;
        }
        const WorldPoint at = run.project(*where);
        data.bounds.add(at);
        if (kind == 'T') {
            const std::string_view track = trackNameOf(name);
            if (!haveLast || data.tracks[lastTrack].name != track) {
                auto [it, added] = trackIndex.try_emplace(std::string(track), data.tracks.size());
                if (added) data.tracks.push_back({it->first, {}, {}, {}});
                lastTrack = it->second;
                haveLast = true;
            }
            data.tracks[lastTrack].points.push_back(at);
            data.tracks[lastTrack].rows.push_back(row);
        } else {
            // Labels as the grid shows them: names from OziExplorer files are
            // often Windows-1251, not UTF-8.
            (kind == 'P' ? data.waypoints : data.photos).push_back({at, row, table.displayText(row, FieldId::Name)});
        }
    }
    return data;
}

std::optional<WorldPoint> MapData::positionOf(std::size_t row) const {
    auto markRow = [](const MapMark& m) { return m.row; };
    if (auto i = findRow(photos, row, markRow)) return photos[*i].at;
    if (auto i = findRow(waypoints, row, markRow)) return waypoints[*i].at;
    for (const MapTrack& track : tracks) {
        if (auto i = findRow(track.rows, row, [](std::size_t r) { return r; })) return track.points[*i];
    }
    return std::nullopt;
}

std::optional<std::size_t> MapData::unplacedIndexOf(std::size_t row) const {
    return findRow(unplaced, row, [](const MapMark& m) { return m.row; });
}

}  // namespace geovanta

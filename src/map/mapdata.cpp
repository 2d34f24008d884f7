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

std::size_t rowOf(const MapMark& mark) { return mark.row; }
std::size_t rowOf(std::size_t row) { return row; }

// Lists are kept in row order: the first entry for `row` or a later one.
template <typename List>
std::size_t firstAtOrAfter(const List& list, std::size_t row) {
    auto it = std::lower_bound(list.begin(), list.end(), row,
                               [](const auto& item, std::size_t r) { return rowOf(item) < r; });
    return static_cast<std::size_t>(it - list.begin());
}

template <typename List>
std::optional<std::size_t> findRow(const List& list, std::size_t row) {
    const std::size_t i = firstAtOrAfter(list, row);
    if (i == list.size() || rowOf(list[i]) != row) return std::nullopt;
    return i;
}

// Where a row's entry is in the snapshot.
struct Place {
    enum class List { None, Track, Waypoints, Photos, Unplaced };
    List list = List::None;
    std::size_t track = 0;
    std::size_t index = 0;
};

Place placeOf(const MapData& data, std::size_t row) {
    if (auto i = findRow(data.photos, row)) return {Place::List::Photos, 0, *i};
    if (auto i = findRow(data.unplaced, row)) return {Place::List::Unplaced, 0, *i};
    if (auto i = findRow(data.waypoints, row)) return {Place::List::Waypoints, 0, *i};
    for (std::size_t t = 0; t < data.tracks.size(); ++t) {
        if (auto i = findRow(data.tracks[t].rows, row)) return {Place::List::Track, t, *i};
    }
    return {};
}

std::vector<MapMark>* markList(MapData& data, Place::List list) {
    switch (list) {
        case Place::List::Waypoints: return &data.waypoints;
        case Place::List::Photos: return &data.photos;
        case Place::List::Unplaced: return &data.unplaced;
        default: return nullptr;
    }
}

// The list a row belongs in; a track line is found by name.
Place::List listFor(const MapRow& row) {
    switch (row.kind) {
        case MapRow::Kind::TrackPoint: return row.at ? Place::List::Track : Place::List::None;
        case MapRow::Kind::Waypoint: return row.at ? Place::List::Waypoints : Place::List::None;
        case MapRow::Kind::Photo: return row.at ? Place::List::Photos : Place::List::Unplaced;
        case MapRow::Kind::None: break;
    }
    return Place::List::None;
}

// Lines come in the order of their first point in the table, which gives each its colour.
void keepTrackOrder(std::vector<MapTrack>& tracks) {
    auto byFirstRow = [](const MapTrack& a, const MapTrack& b) { return a.rows.front() < b.rows.front(); };
    if (!std::is_sorted(tracks.begin(), tracks.end(), byFirstRow)) std::sort(tracks.begin(), tracks.end(), byFirstRow);
}

// Takes the row's entry out; returns where it was drawn.
std::optional<WorldPoint> take(MapData& data, const Place& place) {
    if (place.list == Place::List::Track) {
        MapTrack& track = data.tracks[place.track];
        const WorldPoint was = track.points[place.index];
        const auto at = static_cast<std::ptrdiff_t>(place.index);
        track.points.erase(track.points.begin() + at);
        track.rows.erase(track.rows.begin() + at);
        if (track.points.empty()) {
            data.tracks.erase(data.tracks.begin() + static_cast<std::ptrdiff_t>(place.track));
        } else {
            track.lod.replace(track.points, place.index, 1, 0);
            if (place.index == 0) keepTrackOrder(data.tracks);
        }
        return was;
    }
    std::vector<MapMark>* marks = markList(data, place.list);
    if (!marks) return std::nullopt;
    const MapMark was = (*marks)[place.index];
    marks->erase(marks->begin() + static_cast<std::ptrdiff_t>(place.index));
    if (place.list == Place::List::Unplaced) return std::nullopt;
    return was.at;
}

void put(MapData& data, std::size_t row, const MapRow& now) {
    const Place::List list = listFor(now);
    if (list == Place::List::Track) {
        auto track = std::find_if(data.tracks.begin(), data.tracks.end(),
                                  [&](const MapTrack& t) { return t.name == now.name; });
        if (track == data.tracks.end()) {
            data.tracks.push_back({now.name, {*now.at}, {row}, {}});
            keepTrackOrder(data.tracks);
            return;
        }
        const std::size_t i = firstAtOrAfter(track->rows, row);
        track->points.insert(track->points.begin() + static_cast<std::ptrdiff_t>(i), *now.at);
        track->rows.insert(track->rows.begin() + static_cast<std::ptrdiff_t>(i), row);
        track->lod.replace(track->points, i, 0, 1);
        if (i == 0) keepTrackOrder(data.tracks);
        return;
    }
    if (std::vector<MapMark>* marks = markList(data, list)) {
        const std::size_t i = firstAtOrAfter(*marks, row);
        marks->insert(marks->begin() + static_cast<std::ptrdiff_t>(i), {now.at.value_or(WorldPoint{}), row, now.name});
    }
}

// Rows from `from` on move by `delta`.
void shiftRows(MapData& data, std::size_t from, std::ptrdiff_t delta) {
    const auto by = static_cast<std::size_t>(delta);  // wraps round when negative, as wanted
    for (MapTrack& track : data.tracks) {
        for (std::size_t i = firstAtOrAfter(track.rows, from); i < track.rows.size(); ++i) track.rows[i] += by;
    }
    for (std::vector<MapMark>* marks : {&data.waypoints, &data.photos, &data.unplaced}) {
        for (std::size_t i = firstAtOrAfter(*marks, from); i < marks->size(); ++i) (*marks)[i].row += by;
    }
}

std::optional<WorldPoint> drawnAt(const MapRow& row) {
    const Place::List list = listFor(row);
    if (list == Place::List::None || list == Place::List::Unplaced) return std::nullopt;
    return row.at;
}

bool onEdge(const WorldRect& r, WorldPoint p) { return p.x == r.left || p.x == r.right || p.y == r.top || p.y == r.bottom; }

// The bounds after a position went and another came: they can only shrink
// when the one that went lay on their edge and another took its place.
void followBounds(MapData& data, std::optional<WorldPoint> was, std::optional<WorldPoint> now) {
    const bool stayed = was && now && was->x == now->x && was->y == now->y;  // e.g. a renamed waypoint
    if (!was || stayed || !data.bounds.valid || !onEdge(data.bounds.rect, *was)) {
        if (now) data.bounds.add(*now);
        return;
    }
    WorldBounds b;
    for (const MapTrack& track : data.tracks) {
        for (const WorldPoint& p : track.points) b.add(p);
    }
    for (const MapMark& m : data.waypoints) b.add(m.at);
    for (const MapMark& m : data.photos) b.add(m.at);
    data.bounds = b;
}

}  // namespace

MapRow MapRow::of(const DataTable& table, std::size_t row) {
    MapRow r;
    const char kind = table.stat(row);
    r.kind = kind == 'T' ? Kind::TrackPoint : kind == 'P' ? Kind::Waypoint : kind == 'F' ? Kind::Photo : Kind::None;
    if (r.kind == Kind::None) return r;
    if (const std::optional<LatLon> where = positionOfRow(table, row)) r.at = mercator::project(*where);
    r.name = r.kind == Kind::TrackPoint ? std::string(trackNameOf(table.text(row, FieldId::Name)))
                                        : table.displayText(row, FieldId::Name);
    return r;
}

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

void MapData::updateRow(std::size_t row, const MapRow& now) {
    const Place place = placeOf(*this, row);
    const Place::List list = listFor(now);
    std::optional<WorldPoint> was;
    if (list == place.list && list == Place::List::Track && tracks[place.track].name == now.name) {
        // A point moved within its line: the line keeps its length.
        MapTrack& track = tracks[place.track];
        was = track.points[place.index];
        track.points[place.index] = *now.at;
        track.lod.replace(track.points, place.index, 1, 1);
    } else if (list == place.list && list != Place::List::Track && list != Place::List::None) {
        MapMark& mark = (*markList(*this, list))[place.index];
        if (list != Place::List::Unplaced) was = mark.at;
        mark.at = now.at.value_or(WorldPoint{});
        mark.name = now.name;
    } else {
        was = take(*this, place);
        put(*this, row, now);
    }
    followBounds(*this, was, drawnAt(now));
}

void MapData::insertRow(std::size_t row, const MapRow& now) {
    shiftRows(*this, row, 1);
    put(*this, row, now);
    followBounds(*this, std::nullopt, drawnAt(now));
}

void MapData::removeRow(std::size_t row) {
    const std::optional<WorldPoint> was = take(*this, placeOf(*this, row));
    shiftRows(*this, row + 1, -1);
    followBounds(*this, was, std::nullopt);
}

std::optional<WorldPoint> MapData::positionOf(std::size_t row) const {
    const Place place = placeOf(*this, row);
    switch (place.list) {
        case Place::List::Track: return tracks[place.track].points[place.index];
        case Place::List::Waypoints: return waypoints[place.index].at;
        case Place::List::Photos: return photos[place.index].at;
        default: return std::nullopt;
    }
}

std::optional<std::size_t> MapData::unplacedIndexOf(std::size_t row) const {
    return findRow(unplaced, row);
}

}  // namespace geovanta

#include "binding/placement.h"

#include <algorithm>
#include <unordered_map>

#include "table/phototype.h"

namespace geovanta {
namespace {

int64_t distance(int64_t a, int64_t b) { return a > b ? a - b : b - a; }

std::optional<int64_t> timeOf(const DataTable& table, std::optional<std::size_t> row) {
    if (!row) return std::nullopt;
    return table.timeMs(*row, FieldId::VTime);
}

// Where the photograph's time came from, told into `p`.
void noteTimeSource(const DataTable& table, std::size_t row, bool photoZones, Placement& p) {
    const char source = table.timeSource(row);
    p.fromFileDate = source == kTimeFromFileDate || source == kTimeFromFileDateExifInvalid;
    if (source == kTimeFromFileDateExifInvalid) p.invalidExifDate = table.invalidExifDate(row);
    p.zonesUsed = photoZones;
    if (photoZones) p.zoneMinutes = table.photoZone(row);
    if (const LocalZone* local = table.localZone(row)) p.localZone = *local;
}

// Only where it is told: the window's counts pass over it.
void noteFileType(const DataTable& table, std::size_t row, Placement& p) {
    if (p.fromFileDate) p.fileType = photoFileType(table.text(row, FieldId::FileName));
}

LegEnd legEnd(const DataTable& table, std::size_t row) {
    return {table.real(row, FieldId::Lat), table.real(row, FieldId::Lon), table.timeMs(row, FieldId::VTime)};
}

Placement decided(const DataTable& table, std::size_t row, std::optional<std::size_t> prev,
                  std::optional<std::size_t> next, const BindingParams& params) {
    Placement p;
    if (table.placedByHand(row))
        p.kind = PlacementKind::ByHand;
    else if (heldByLocalZone(table, row) && (prev || next))
        p.kind = PlacementKind::NoLocalZone;
    else
        p = decidePlacement(table.timeMs(row, FieldId::VTime), timeOf(table, prev), timeOf(table, next),
                            params.tolerance);
    // Placed by its times, the photograph still stays off a privacy zone,
    // where the pass left it unplaced.
    if (p.kind == PlacementKind::Placed && !params.privacyZones.empty()) {
        const LegPosition at = positionOnLeg(legEnd(table, *prev), legEnd(table, *next), table.timeMs(row, FieldId::VTime));
        if (const PrivacyZone* zone = zoneHolding(params.privacyZones, at.lat, at.lon)) {
            p.kind = PlacementKind::InPrivacyZone;
            p.privacyZone = zone->name;
        }
    }
    noteTimeSource(table, row, params.photoZones, p);
    return p;
}

BindingParams rulesOf(int32_t toleranceSeconds, bool photoZones) {
    BindingParams params;
    params.tolerance = toleranceSeconds;
    params.photoZones = photoZones;
    return params;
}

}  // namespace

LegPosition positionOnLeg(const LegEnd& from, const LegEnd& to, int64_t t) {
    LegPosition at;
    if (to.timeMs != from.timeMs) at.r = static_cast<long double>(t - from.timeMs) / (to.timeMs - from.timeMs);
    at.lat = static_cast<double>(from.lat + at.r * (static_cast<long double>(to.lat) - from.lat));
    at.lon = static_cast<double>(from.lon + at.r * (static_cast<long double>(to.lon) - from.lon));
    return at;
}

bool heldByLocalZone(const DataTable& table, std::size_t row) {
    const LocalZone* zone = table.localZone(row);
    return zone && (zone->status == LocalZone::Status::NoConsistentZone || zone->status == LocalZone::Status::NoZoneData);
}

Placement decidePlacement(int64_t t, std::optional<int64_t> prev, std::optional<int64_t> next,
                          int32_t toleranceSeconds) {
    Placement p;
    if (!prev && !next) return p;
    if (!prev) {
        p.kind = PlacementKind::BeforeTrack;
        p.distanceMs = distance(*next, t);
        return p;
    }
    if (!next) {
        p.kind = PlacementKind::AfterTrack;
        p.distanceMs = distance(t, *prev);
        return p;
    }
    const int64_t toPrev = distance(t, *prev);
    const int64_t toNext = distance(*next, t);
    p.distanceMs = toPrev < toNext ? toPrev : toNext;
    // Whole milliseconds on both sides, so "strictly closer" is exact.
    const int64_t limitMs = static_cast<int64_t>(toleranceSeconds) * 1000;
    p.kind = p.distanceMs < limitMs ? PlacementKind::Placed : PlacementKind::InGap;
    return p;
}

Placement explainPlacement(const DataTable& table, std::size_t row, int32_t toleranceSeconds, bool photoZones) {
    return explainPlacement(table, row, rulesOf(toleranceSeconds, photoZones));
}

LegRows legAround(const DataTable& table, std::size_t row) {
    LegRows leg;
    for (std::size_t r = row; r-- > 0;)
        if (!table.isPhoto(r)) {
            leg.prev = r;
            break;
        }
    for (std::size_t r = row + 1; r < table.rowCount(); ++r)
        if (!table.isPhoto(r)) {
            leg.next = r;
            break;
        }
    return leg;
}

Placement explainPlacement(const DataTable& table, std::size_t row, const BindingParams& params) {
    const LegRows leg = legAround(table, row);
    Placement p = decided(table, row, leg.prev, leg.next, params);
    noteFileType(table, row, p);
    return p;
}

PlacementSummary summarisePlacements(const DataTable& table, int32_t toleranceSeconds,
                                     std::vector<PhotoPlacement>* each, bool photoZones) {
    return summarisePlacements(table, rulesOf(toleranceSeconds, photoZones), each);
}

PlacementSummary summarisePlacements(const DataTable& table, const BindingParams& params,
                                     std::vector<PhotoPlacement>* each) {
    PlacementSummary s;
    std::unordered_map<const CameraKey*, std::size_t> cameraAt;  // cameras are kept once each in the table
    walkLegs(
        table, [&](std::size_t) { ++s.points; },
        [&](std::size_t row, std::optional<std::size_t> prev, std::optional<std::size_t> next) {
            Placement p = decided(table, row, prev, next, params);
            ++s.photos;
            s.fromFileDate += p.fromFileDate;
            switch (p.kind) {
                case PlacementKind::Placed: ++s.placed; break;
                case PlacementKind::BeforeTrack: ++s.beforeTrack; break;
                case PlacementKind::AfterTrack: ++s.afterTrack; break;
                case PlacementKind::InGap: ++s.inGaps; break;
                case PlacementKind::NoTrack: ++s.noTrack; break;
                case PlacementKind::ByHand: ++s.byHand; break;
                case PlacementKind::InPrivacyZone: ++s.inPrivacyZones; break;
                case PlacementKind::NoLocalZone: ++s.noLocalZone; break;
            }
            if (const CameraKey* camera = table.camera(row)) {
                const auto [it, added] = cameraAt.try_emplace(camera, s.cameras.size());
                if (added) s.cameras.push_back({table.cameraText(row)});
                PlacementSummary::Camera& c = s.cameras[it->second];
                ++(p.kind == PlacementKind::Placed || p.kind == PlacementKind::ByHand ? c.placed : c.unplaced);
            }
            if (!each) return;
            noteFileType(table, row, p);
            each->push_back({row, std::move(p)});
        });
    std::sort(s.cameras.begin(), s.cameras.end(),
              [](const PlacementSummary::Camera& a, const PlacementSummary::Camera& b) { return a.name < b.name; });
    return s;
}

}  // namespace geovanta

#include "binding/calcpositions.h"

#include <cmath>
#include <numbers>
#include <optional>

#include "binding/placement.h"
#include "table/datatable.h"
#include "table/datetime.h"
#include "table/displaysuspension.h"
#include "table/position.h"

namespace geovanta {
namespace {

constexpr long double kMetresPerDegree = 111197;

// What the walk keeps of a non-photo row.
struct TrackPoint {
    double lat = 0;
    double lon = 0;
    int64_t timeMs = 0;
    std::optional<double> elev;  // feet as stored; empty when unknown
};

TrackPoint readPoint(const DataTable& t, std::size_t row) {
    TrackPoint p;
    p.lat = t.real(row, FieldId::Lat);
    p.lon = t.real(row, FieldId::Lon);
    p.timeMs = t.timeMs(row, FieldId::VTime);
    if (const auto e = t.optReal(row, FieldId::Elev); e && *e != kNoAltitudeFeet) p.elev = e;
    return p;
}

// Places the photograph unless its position lies in a privacy zone.
void placePhoto(DataTable& t, std::size_t row, const TrackPoint& prev, const TrackPoint& cur,
                const PrivacyZones& zones) {
    const int64_t time = t.timeMs(row, FieldId::VTime);
    const LegPosition at = positionOnLeg({prev.lat, prev.lon, prev.timeMs}, {cur.lat, cur.lon, cur.timeMs}, time);
    if (!zones.empty() && zoneHolding(zones, at.lat, at.lon)) return;
    t.setReal(row, FieldId::Lat, at.lat);
    t.setReal(row, FieldId::Lon, at.lon);
    // Without a known altitude at both ends nothing is invented.
    if (prev.elev && cur.elev)
        t.setReal(row, FieldId::Elev,
                  static_cast<double>(*prev.elev + at.r * (static_cast<long double>(*cur.elev) - *prev.elev)));
}

// Shifts every row's time and takes every photograph's position away: each
// pass places exactly the photographs it finds within the tolerance now, so
// a position from earlier offsets can never survive as if it were current.
// The one position a person gives, a photograph placed by hand, is kept.
void shiftTimes(DataTable& t, const BindingParams& p) {
    const int64_t trackShift = daysToMs(p.trackOffset);
    const int64_t photoShift = daysToMs(p.photoOffset);
    const int64_t lo = daysToMs(kMinDays), hi = daysToMs(kMaxDays);
    for (std::size_t row = 0; row < t.rowCount(); ++row) {
        const bool photo = t.isPhoto(row);
        int64_t v = photo ? photoTimeBeforeOffset(t, row, p.photoZones) + photoShift
                          : t.timeMs(row, FieldId::Time) + trackShift;  // all far below int64 limits
        v = v < lo ? lo : (v > hi ? hi : v);
        t.setTimeMs(row, FieldId::VTime, v);
        if (photo && !t.placedByHand(row)) {
            t.setNull(row, FieldId::Lat);
            t.setNull(row, FieldId::Lon);
            t.setNull(row, FieldId::Elev);
        }
    }
}

}  // namespace

int64_t photoTimeBeforeOffset(const DataTable& t, std::size_t row, bool photoZones) {
    const int64_t time = t.timeMs(row, FieldId::Time);
    const auto zone = photoZones ? t.photoZone(row) : std::nullopt;
    return zone ? time - int64_t{*zone} * 60000 : time;  // minutes east of UTC
}

double PlaneDistance(double lat1, double lon1, double lat2, double lon2) {
    const long double dLat = (static_cast<long double>(lat2) - lat1) * kMetresPerDegree;
    // The cosine in double precision: extended precision would change the
    // result far below a millimetre and costs most of the pass.
    const long double dLon = (static_cast<long double>(lon2) - lon1) * kMetresPerDegree *
                             std::cos(lat1 * std::numbers::pi / 180);
    return static_cast<double>(std::sqrt(dLat * dLat + dLon * dLon));
}

void CalcPositions(DataTable& t, const BindingParams& params) {
    DisplaySuspension suspended(t);
    t.first();  // stores a pending row
    shiftTimes(t, params);
    t.sortBy(FieldId::VTime);

    TrackPoint prev, cur;
    bool seenFirst = false;
    walkLegs(
        t,
        [&](std::size_t row) {
            if (!seenFirst) {
                seenFirst = true;
                cur = readPoint(t, row);
                t.setReal(row, FieldId::Dist, 0);
                t.setReal(row, FieldId::Speed, 0);
                return;
            }
            prev = cur;
            cur = readPoint(t, row);
            const double dist = PlaneDistance(prev.lat, prev.lon, cur.lat, cur.lon);
            t.setReal(row, FieldId::Dist, dist);
            if (cur.timeMs != prev.timeMs)
                t.setReal(row, FieldId::Speed,
                          static_cast<double>(static_cast<long double>(dist) * 3600 / (cur.timeMs - prev.timeMs)));
        },
        [&](std::size_t photo, std::optional<std::size_t> before, std::optional<std::size_t> after) {
            // Only a photograph between two points can be placed; the walk
            // visits it right after the point that closes its leg.
            if (!before || !after || t.placedByHand(photo)) return;
            const Placement p =
                decidePlacement(t.timeMs(photo, FieldId::VTime), prev.timeMs, cur.timeMs, params.tolerance);
            if (p.kind == PlacementKind::Placed) placePhoto(t, photo, prev, cur, params.privacyZones);
        });
    // Names follow the positions just given, so none outlives its position.
    namePlaces(t, params.naming);
    t.first();
}

}  // namespace geovanta

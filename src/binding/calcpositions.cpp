#include "binding/calcpositions.h"

#include <cmath>
#include <numbers>
#include <optional>
#include <unordered_map>
#include <vector>

#include "binding/localtimeresolver.h"
#include "binding/placement.h"
#include "binding/tracktimeline.h"
#include "geo/zonedata.h"
#include "geo/zonelookup.h"
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

// Each camera's clock, found once per camera: a folder's photographs come
// from a few cameras, and mostly one after another.
class Clocks {
public:
    explicit Clocks(const BindingParams& p) : p_(p) {}

    struct Clock {
        CameraClock clock;
        int64_t offsetMs = 0;
    };
    const Clock& of(const CameraKey* camera) {
        if (camera == last_ && lastClock_) return *lastClock_;
        auto [it, added] = known_.try_emplace(camera);
        if (added) {
            it->second.clock = clockOf(p_, camera);
            it->second.offsetMs = daysToMs(*it->second.clock.offset);
        }
        last_ = camera;
        lastClock_ = &it->second;
        return it->second;
    }

private:
    const BindingParams& p_;
    std::unordered_map<const CameraKey*, Clock> known_;
    const CameraKey* last_ = nullptr;
    const Clock* lastClock_ = nullptr;
};

int64_t withinDays(int64_t ms) {
    const int64_t lo = daysToMs(kMinDays), hi = daysToMs(kMaxDays);
    return ms < lo ? lo : (ms > hi ? hi : ms);
}

// A photograph whose time is a wall-clock reading, with its camera's offset.
struct LocalPhoto {
    std::size_t row;
    int64_t offsetMs;
};

// Shifts every row's time and takes every photograph's position away: each
// pass places exactly the photographs it finds within the tolerance now, so
// a position from earlier offsets can never survive as if it were current.
// The one position a person gives, a photograph placed by hand, is kept.
// Photographs read as local time wait in `local` for the track's times.
void shiftTimes(DataTable& t, const BindingParams& p, std::vector<LocalPhoto>& local) {
    const int64_t trackShift = daysToMs(p.trackOffset);
    Clocks clocks(p);
    for (std::size_t row = 0; row < t.rowCount(); ++row) {
        if (!t.isPhoto(row)) {
            t.setTimeMs(row, FieldId::VTime, withinDays(t.timeMs(row, FieldId::Time) + trackShift));
            continue;
        }
        if (!t.placedByHand(row)) {
            t.setNull(row, FieldId::Lat);
            t.setNull(row, FieldId::Lon);
            t.setNull(row, FieldId::Elev);
        }
        const Clocks::Clock& c = clocks.of(t.camera(row));
        if (readAsLocalTime(t, row, c.clock)) {
            local.push_back({row, c.offsetMs});
            continue;
        }
        // A camera on local time that recorded its zone is read by it, and
        // its reason says so even where the photographs' zones are not in use.
        const std::optional<int> tagged = c.clock.localTime ? t.photoZone(row) : std::nullopt;
        if (tagged)
            t.setLocalZone(row, LocalZone{LocalZone::Status::PhotoZone, std::string(), *tagged * 60});
        else if (t.localZone(row))
            t.setLocalZone(row, std::nullopt);
        const bool ownZone = p.photoZones || c.clock.localTime;
        // All far below int64 limits.
        t.setTimeMs(row, FieldId::VTime, withinDays(photoTimeBeforeOffset(t, row, ownZone) + c.offsetMs));
    }
}

LocalZone::Status statusOf(LocalTimeOutcome outcome, bool noTrack) {
    switch (outcome) {
        case LocalTimeOutcome::Resolved: return LocalZone::Status::Found;
        case LocalTimeOutcome::NotOnTrack: return LocalZone::Status::NotOnTrack;
        case LocalTimeOutcome::NoConsistentZone: return LocalZone::Status::NoConsistentZone;
        case LocalTimeOutcome::NoZones: break;
    }
    // Without a track there is nothing to be consistent with: the photograph
    // is told as unplaced for that.
    return noTrack ? LocalZone::Status::NotOnTrack : LocalZone::Status::NoZoneData;
}

// Brings each photograph read as local time to UTC by the zone the shifted
// track puts it in, and keeps that zone on its row.
void readLocalTimes(DataTable& t, const BindingParams& p, const std::vector<LocalPhoto>& photos) {
    if (photos.empty()) return;
    const ZoneLookup zones = p.zones ? ZoneLookup(*p.zones) : ZoneLookup(nullptr);
    const TrackTimeline track = TrackTimeline::fromTable(t);
    const LocalTimeResolver resolver(track, zones, p.tolerance);
    for (const LocalPhoto& photo : photos) {
        const LocalTimeResult r = resolver.resolve(t.timeMs(photo.row, FieldId::Time) + photo.offsetMs);
        t.setTimeMs(photo.row, FieldId::VTime, withinDays(r.utcMs));
        t.setLocalZone(photo.row, LocalZone{statusOf(r.outcome, track.points().empty()), std::string(r.zoneName),
                                            r.offsetSeconds});
    }
}

}  // namespace

CameraClock clockOf(const BindingParams& params, const CameraKey* camera) {
    CameraClock clock;
    if (camera) {
        for (const CameraClock& c : params.cameras)
            if (c.camera == *camera) {
                clock = c;
                break;
            }
        clock.camera = *camera;
    }
    if (!clock.offset) clock.offset = params.photoOffset;
    clock.localTime = clock.localTime || params.allLocalTime;
    return clock;
}

bool readAsLocalTime(const DataTable& t, std::size_t row, const CameraClock& clock) {
    return clock.localTime && !t.photoZone(row);
}

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
    std::vector<LocalPhoto> local;
    shiftTimes(t, params, local);
    readLocalTimes(t, params, local);
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
            if (!before || !after || t.placedByHand(photo) || heldByLocalZone(t, photo)) return;
            const Placement p =
                decidePlacement(t.timeMs(photo, FieldId::VTime), prev.timeMs, cur.timeMs, params.tolerance);
            if (p.kind == PlacementKind::Placed) placePhoto(t, photo, prev, cur, params.privacyZones);
        });
    // Names follow the positions just given, so none outlives its position.
    namePlaces(t, params.naming);
    t.first();
}

}  // namespace geovanta

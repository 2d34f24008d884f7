#include "binding/calcpositions.h"

#include <cmath>
#include <numbers>
#include <optional>

#include "table/datatable.h"
#include "table/displaysuspension.h"
#include "table/datetime.h"
#include "table/numbertext.h"

namespace geovanta {
namespace {

constexpr long double kMetresPerDegree = 111197;
constexpr double kNoAltitude = -777;  // the track format's "no altitude"

// What the walk keeps of a non-photo row.
struct TrackPoint {
    double lat = 0;
    double lon = 0;
    int64_t timeMs = 0;
    std::optional<long double> elev;  // whole feet, signed; empty when unknown
};

TrackPoint readPoint(const DataTable& t, std::size_t row) {
    TrackPoint p;
    p.lat = t.real(row, FieldId::Lat);
    p.lon = t.real(row, FieldId::Lon);
    p.timeMs = t.timeMs(row, FieldId::VTime);
    if (const auto e = t.optReal(row, FieldId::Elev); e && *e != kNoAltitude) p.elev = roundHalfEven(*e);
    return p;
}

// Strictly closer than the tolerance to at least one neighbour. Times are whole
// milliseconds, so the comparison is exact.
bool withinTolerance(int64_t t, int64_t prev, int64_t cur, int32_t toleranceSeconds) {
    const long double limit = static_cast<long double>(toleranceSeconds) * 1000;
    const auto dc = static_cast<long double>(cur > t ? cur - t : t - cur);
    const auto dp = static_cast<long double>(prev > t ? prev - t : t - prev);
    return limit > dc || limit > dp;
}

void placePhoto(DataTable& t, std::size_t row, const TrackPoint& prev, const TrackPoint& cur) {
    const int64_t time = t.timeMs(row, FieldId::VTime);
    // Ends of equal time leave nothing to interpolate: the photo takes the
    // shared moment's first end.
    const long double r = cur.timeMs == prev.timeMs
                              ? 0.0L
                              : static_cast<long double>(time - prev.timeMs) / (cur.timeMs - prev.timeMs);
    t.setReal(row, FieldId::Lat, static_cast<double>(prev.lat + r * (static_cast<long double>(cur.lat) - prev.lat)));
    t.setReal(row, FieldId::Lon, static_cast<double>(prev.lon + r * (static_cast<long double>(cur.lon) - prev.lon)));
    // Without a known altitude at both ends nothing is invented.
    if (prev.elev && cur.elev) t.setReal(row, FieldId::Elev, static_cast<double>(*prev.elev + r * (*cur.elev - *prev.elev)));
}

void shiftTimes(DataTable& t, const BindingParams& p) {
    const int64_t trackShift = daysToMs(p.trackOffset);
    const int64_t photoShift = daysToMs(p.photoOffset);
    const int64_t lo = daysToMs(kMinDays), hi = daysToMs(kMaxDays);
    for (std::size_t row = 0; row < t.rowCount(); ++row) {
        const int64_t shift = t.isPhoto(row) ? photoShift : trackShift;
        int64_t v = t.timeMs(row, FieldId::Time) + shift;  // both are far below int64 limits
        v = v < lo ? lo : (v > hi ? hi : v);
        t.setTimeMs(row, FieldId::VTime, v);
    }
}

}  // namespace

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

    bool seenFirst = false;
    TrackPoint prev, cur;
    std::size_t curRow = 0;
    for (std::size_t row = 0; row < t.rowCount(); ++row) {
        if (t.isPhoto(row)) continue;
        if (!seenFirst) {
            seenFirst = true;
            cur = readPoint(t, row);
            t.setReal(row, FieldId::Dist, 0);
            t.setReal(row, FieldId::Speed, 0);
            curRow = row;
            continue;
        }
        prev = cur;
        cur = readPoint(t, row);
        const double dist = PlaneDistance(prev.lat, prev.lon, cur.lat, cur.lon);
        t.setReal(row, FieldId::Dist, dist);
        if (cur.timeMs != prev.timeMs)
            t.setReal(row, FieldId::Speed,
                      static_cast<double>(static_cast<long double>(dist) * 3600 / (cur.timeMs - prev.timeMs)));
        for (std::size_t photo = curRow + 1; photo < row; ++photo) {
            if (withinTolerance(t.timeMs(photo, FieldId::VTime), prev.timeMs, cur.timeMs, params.tolerance))
                placePhoto(t, photo, prev, cur);
        }
        curRow = row;
    }
    t.first();
}

}  // namespace geovanta

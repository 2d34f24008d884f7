#include "geo/zonerules.h"

#include <chrono>

#include "table/datetime.h"

namespace geovanta {
namespace {

using Seconds = cctz::time_point<cctz::seconds>;

// Whole seconds since 1970 (floored) and the milliseconds left over.
struct SplitMs {
    int64_t seconds;
    int64_t ms;
};
SplitMs split(int64_t msSince1899) {
    const int64_t unixMs = msSince1899 - kUnixEpochMs;
    int64_t s = unixMs / 1000, ms = unixMs % 1000;
    if (ms < 0) {
        --s;
        ms += 1000;
    }
    return {s, ms};
}

int64_t secondsOf(const Seconds& t) { return static_cast<int64_t>(t.time_since_epoch().count()); }

}  // namespace

std::optional<ZoneRules> ZoneRules::load(const std::string& name) {
    cctz::time_zone zone;
    if (!cctz::load_time_zone(name, &zone)) return std::nullopt;
    return ZoneRules(zone);
}

int32_t ZoneRules::offsetAt(int64_t utcMs) const {
    const SplitMs t = split(utcMs);
    return zone_.lookup(Seconds(cctz::seconds(t.seconds))).offset;
}

ZoneRules::Readings ZoneRules::readingsOf(int64_t wallMs) const {
    const SplitMs wall = split(wallMs);
    const cctz::civil_second civil = cctz::civil_second(1970, 1, 1, 0, 0, 0) + wall.seconds;
    const cctz::time_zone::civil_lookup found = zone_.lookup(civil);
    const auto reading = [&](const Seconds& at) {
        const int64_t s = secondsOf(at);
        return Reading{(s * 1000 + wall.ms) + kUnixEpochMs, static_cast<int32_t>(wall.seconds - s)};
    };
    Readings r;
    r.at[0] = reading(found.pre);
    r.count = 1;
    if (found.kind != cctz::time_zone::civil_lookup::UNIQUE) {
        r.at[1] = reading(found.post);
        r.count = 2;
        r.skipped = found.kind == cctz::time_zone::civil_lookup::SKIPPED;
    }
    return r;
}

}  // namespace geovanta

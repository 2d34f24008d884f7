#pragma once
// A time zone's rules, from the system's tz database (Debian's tzdata, read
// through cctz): its offset at an instant, and what a clock on it showing a
// given wall-clock time can have meant.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include <cctz/time_zone.h>

namespace geovanta {

class ZoneRules {
public:
    // Nothing when the database does not know the zone.
    static std::optional<ZoneRules> load(const std::string& name);

    // Seconds east of UTC in force at an instant (ms since 1899-12-30 UTC).
    int32_t offsetAt(int64_t utcMs) const;

    // The instants a wall-clock reading (ms since 1899-12-30, on this zone's
    // clock) can mean, each with the offset it was read by. One for most
    // readings; two in the hour a change to winter time repeats, and two in
    // the hour a change to summer time skips, which a clock not yet put
    // forward still shows. The reading by the offset in force before the
    // change comes first.
    struct Reading {
        int64_t utcMs = 0;
        int32_t offsetSeconds = 0;
    };
    struct Readings {
        int count = 0;
        std::array<Reading, 2> at{};
        bool skipped = false;  // the reading falls in a skipped hour
    };
    Readings readingsOf(int64_t wallMs) const;

private:
    explicit ZoneRules(cctz::time_zone zone) : zone_(zone) {}
    cctz::time_zone zone_;
};

}  // namespace geovanta

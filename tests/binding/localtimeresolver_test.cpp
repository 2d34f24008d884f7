// Photographs from a camera on local time, brought to UTC by the zone the
// track puts them in, with the shipped zone borders and the system's tz rules.
#include "binding/localtimeresolver.h"

#include <gtest/gtest.h>

#include <vector>

#include "table/datetime.h"

namespace geovanta {
namespace {

const ZoneLookup& shippedZones() {
    static const ZoneMap map = ZoneMap::read(GEOVANTA_SOURCE_DATA "/timezones/zones.bin");
    static const ZoneLookup zones(&map);
    return zones;
}

int64_t when(int year, int month, int day, int hour, int minute) {
    return *civilToMs({year, month, day, hour, minute, 0, 0});
}

constexpr int64_t kMinute = 60000;

// A point a minute from `from` to `to` (UTC), wandering a little around a place.
void stay(std::vector<TrackTimeline::Point>& track, int64_t from, int64_t to, double lat, double lon) {
    for (int64_t t = from, i = 0; t <= to; t += kMinute, ++i)
        track.push_back({t, lat + 0.001 * static_cast<double>(i % 7), lon + 0.001 * static_cast<double>(i % 5)});
}

struct Photo {
    const char* what;
    int64_t wall;
    LocalTimeOutcome outcome;
    int64_t utc;             // expected UTC instant (with any outcome: the fallback reading too)
    const char* zone;
    int32_t offsetSeconds;
    bool ambiguous;
};

void check(const LocalTimeResolver& local, const Photo& p) {
    SCOPED_TRACE(p.what);
    const LocalTimeResult r = local.resolve(p.wall);
    EXPECT_EQ(r.outcome, p.outcome);
    EXPECT_EQ(formatIsoDayTime(r.utcMs), formatIsoDayTime(p.utc));
    EXPECT_EQ(r.zoneName, p.zone);
    EXPECT_EQ(r.offsetSeconds, p.offsetSeconds);
    EXPECT_EQ(r.ambiguous, p.ambiguous);
}

constexpr auto kResolved = LocalTimeOutcome::Resolved;
constexpr auto kOffTrack = LocalTimeOutcome::NotOnTrack;
constexpr auto kNoZone = LocalTimeOutcome::NoConsistentZone;

TEST(LocalTimeResolver, MoscowToReykjavikAndBack) {
    std::vector<TrackTimeline::Point> points;
    stay(points, when(2024, 7, 10, 6, 0), when(2024, 7, 10, 15, 0), 55.75, 37.62);    // Moscow, UTC+3
    stay(points, when(2024, 7, 10, 19, 0), when(2024, 7, 11, 16, 0), 64.14, -21.94);  // Reykjavik, UTC
    stay(points, when(2024, 7, 11, 21, 0), when(2024, 7, 12, 6, 0), 55.75, 37.62);    // Moscow again
    const TrackTimeline track(std::move(points));
    const LocalTimeResolver local(track, shippedZones(), 300);
    ASSERT_EQ(local.zones().size(), 2u);

    const Photo photos[] = {
        {"lunch in Moscow", when(2024, 7, 10, 12, 0), kResolved, when(2024, 7, 10, 9, 0), "Europe/Moscow", 10800, false},
        // By Moscow's clock 19:00 UTC, which the track has in Reykjavik: only Reykjavik's reading holds.
        {"landed in Reykjavik", when(2024, 7, 10, 22, 0), kResolved, when(2024, 7, 10, 22, 0), "Atlantic/Reykjavik", 0,
         false},
        {"a day in Iceland", when(2024, 7, 11, 12, 0), kResolved, when(2024, 7, 11, 12, 0), "Atlantic/Reykjavik", 0, false},
        // Neither reading lands on the track; the one by the nearest point's zone tells how far off it is.
        {"on the way out", when(2024, 7, 10, 18, 30), kOffTrack, when(2024, 7, 10, 18, 30), "Atlantic/Reykjavik", 0,
         false},
        // The hours the clocks skip flying east: Reykjavik's reading lands in
        // Moscow, Moscow's in the flight.
        {"skipped flying home", when(2024, 7, 11, 23, 0), kNoZone, when(2024, 7, 11, 20, 0), "Europe/Moscow", 10800, false},
        {"home again", when(2024, 7, 12, 1, 0), kResolved, when(2024, 7, 11, 22, 0), "Europe/Moscow", 10800, false},
    };
    for (const Photo& p : photos) check(local, p);
}

TEST(LocalTimeResolver, BerlinNightsAcrossSummerTimeChanges) {
    std::vector<TrackTimeline::Point> spring, autumn, autumnGap;
    stay(spring, when(2024, 3, 30, 20, 0), when(2024, 3, 31, 6, 0), 52.52, 13.40);
    stay(autumn, when(2024, 10, 26, 20, 0), when(2024, 10, 27, 6, 0), 52.52, 13.40);
    // The same night with the logger off from 00:00 to 01:15 UTC.
    stay(autumnGap, when(2024, 10, 26, 20, 0), when(2024, 10, 27, 0, 0), 52.52, 13.40);
    stay(autumnGap, when(2024, 10, 27, 1, 15), when(2024, 10, 27, 6, 0), 52.52, 13.40);
    const TrackTimeline springTrack(std::move(spring)), autumnTrack(std::move(autumn)),
        autumnGapTrack(std::move(autumnGap));

    const LocalTimeResolver inSpring(springTrack, shippedZones(), 300);
    // 02:00 to 03:00 on 31 March never shows on a clock that keeps the rules.
    const Photo springPhotos[] = {
        {"before the change", when(2024, 3, 30, 23, 30), kResolved, when(2024, 3, 30, 22, 30), "Europe/Berlin", 3600,
         false},
        {"in the skipped hour: a clock not yet put forward", when(2024, 3, 31, 2, 30), kResolved,
         when(2024, 3, 31, 1, 30), "Europe/Berlin", 3600, true},
        {"after the change", when(2024, 3, 31, 4, 0), kResolved, when(2024, 3, 31, 2, 0), "Europe/Berlin", 7200, false},
    };
    for (const Photo& p : springPhotos) check(inSpring, p);
    EXPECT_TRUE(inSpring.resolve(when(2024, 3, 31, 2, 30)).skippedHour);

    // 02:00 to 03:00 on 27 October comes twice: first at UTC+2, then at UTC+1.
    const LocalTimeResolver inAutumn(autumnTrack, shippedZones(), 300);
    check(inAutumn, {"both on the track: the earlier", when(2024, 10, 27, 2, 30), kResolved, when(2024, 10, 27, 0, 30),
                     "Europe/Berlin", 7200, true});
    check(inAutumn, {"after the change", when(2024, 10, 27, 4, 0), kResolved, when(2024, 10, 27, 3, 0),
                     "Europe/Berlin", 3600, false});
    const LocalTimeResolver withGap(autumnGapTrack, shippedZones(), 300);
    check(withGap, {"only the second on the track", when(2024, 10, 27, 2, 30), kResolved, when(2024, 10, 27, 1, 30),
                    "Europe/Berlin", 3600, false});
    check(withGap, {"neither on the track: the earlier", when(2024, 10, 27, 2, 10), kOffTrack,
                    when(2024, 10, 27, 0, 10), "Europe/Berlin", 7200, false});
}

// Out of the territorial waters the sea keeps its nautical zone, an hour
// behind the summer time of the ports; a camera aboard keeps a port's time.
TEST(LocalTimeResolver, FerryKeepsThePortsTime) {
    std::vector<TrackTimeline::Point> points;
    const int64_t leave = when(2024, 7, 10, 10, 0);
    for (int m = 0; m <= 195; ++m)  // Hirtshals to Kristiansand across the Skagerrak
        points.push_back({leave + m * kMinute, 57.59 + (58.14 - 57.59) * m / 195.0, 9.96 + (7.99 - 9.96) * m / 195.0});
    stay(points, when(2024, 7, 10, 13, 16), when(2024, 7, 10, 15, 0), 58.14, 7.99);
    const TrackTimeline track(std::move(points));
    const LocalTimeResolver local(track, shippedZones(), 300);
    check(local, {"on deck, by Danish time", when(2024, 7, 10, 13, 40), kResolved, when(2024, 7, 10, 11, 40),
                  "Europe/Copenhagen", 7200, false});
    check(local, {"landed in Norway", when(2024, 7, 10, 16, 30), kResolved, when(2024, 7, 10, 14, 30), "Europe/Oslo",
                  7200, false});
}

}  // namespace
}  // namespace geovanta

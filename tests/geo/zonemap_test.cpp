// The zones' borders as the program ships them, and a map that is no map.
#include "geo/zonemap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace geovanta {
namespace {

const ZoneMap& shippedZones() {
    static const ZoneMap map = ZoneMap::read(GEOVANTA_SOURCE_DATA "/timezones/zones.bin");
    return map;
}

struct Place {
    const char* what;
    double lat, lon;
    const char* zone;  // nullptr: none
};

TEST(ZoneMap, ShippedFileKnowsPlaces) {
    const ZoneMap& map = shippedZones();
    ASSERT_FALSE(map.empty());
    const Place places[] = {
        {"Moscow, Red Square", 55.7539, 37.6208, "Europe/Moscow"},
        {"Reykjavik", 64.1466, -21.9426, "Atlantic/Reykjavik"},
        {"Berlin", 52.5200, 13.4050, "Europe/Berlin"},
        // A kilometre either side of the Narva, between an hour apart.
        {"Narva", 59.3772, 28.1900, "Europe/Tallinn"},
        {"Ivangorod", 59.3660, 28.2250, "Europe/Moscow"},
        // The Rhine between the same hour under two names.
        {"Strasbourg", 48.5734, 7.7521, "Europe/Paris"},
        {"Kehl", 48.5700, 7.8150, "Europe/Berlin"},
        {"a beach at Sochi", 43.5780, 39.7185, "Europe/Moscow"},
        {"east of the date line, Kiribati", 1.8721, -157.4278, "Pacific/Kiritimati"},
        {"the North Atlantic", 40.0, -40.0, "Etc/GMT+3"},
        {"the Pacific", 0.0, -150.0, "Etc/GMT+10"},
        {"the Pacific at the date line", -30.0, 180.0, "Etc/GMT-12"},
        {"beyond the pole", 90.5, 0.0, nullptr},
        {"no number", NAN, 10.0, nullptr},
    };
    for (const Place& p : places) {
        SCOPED_TRACE(p.what);
        const auto zone = map.zoneAt(p.lat, p.lon);
        if (p.zone) {
            ASSERT_TRUE(zone.has_value());
            EXPECT_EQ(*zone, p.zone);
        } else {
            EXPECT_FALSE(zone.has_value());
        }
    }
    EXPECT_TRUE(map.atSea(map.indexAt(40.0, -40.0)));
    EXPECT_FALSE(map.atSea(map.indexAt(52.52, 13.405)));
}

// Two land zones on a world four cells across, every leaf code used once:
//   north of the equator, west:  Moscow | Berlin  (southern half of it)
//                                sea    | Berlin  (northern half)
//   south, west: sea; south, east: Berlin; north, east: Moscow.
std::string tinyMap() {
    const std::string names = std::string("Europe/Berlin") + '\0' + "Europe/Moscow" + '\0';
    const std::string stream("\xCD\x01\x00\x02\x00\xB9\x00\x00", 8);
    std::string out = "GVTZONES";
    const auto u16 = [&](unsigned v) { out += char(v & 0xff); out += char(v >> 8); };
    const auto u32 = [&](unsigned v) { u16(v & 0xffff); u16(v >> 16); };
    u16(1);
    out += char(2);  // depth
    out += char(2);
    u32(3);  // the sea and two
    u32(static_cast<unsigned>(names.size()));
    u32(2);  // inner nodes
    u32(static_cast<unsigned>(stream.size()));
    return out + names + stream;
}

TEST(ZoneMap, ReadsTheTreeAsWritten) {
    ZoneMapProblem problem = ZoneMapProblem::Damaged;
    const ZoneMap map = ZoneMap::parse(tinyMap(), &problem);
    ASSERT_EQ(problem, ZoneMapProblem::None);
    EXPECT_EQ(map.zoneAt(20, -120), "Europe/Moscow");
    EXPECT_EQ(map.zoneAt(20, -60), "Europe/Berlin");
    EXPECT_EQ(map.zoneAt(60, -120), "Etc/GMT+8");
    EXPECT_EQ(map.zoneAt(60, -60), "Europe/Berlin");
    EXPECT_EQ(map.zoneAt(-45, -20), "Etc/GMT+1");
    EXPECT_EQ(map.zoneAt(-45, 90), "Europe/Berlin");
    EXPECT_EQ(map.zoneAt(45, 90), "Europe/Moscow");
    EXPECT_EQ(map.zoneAt(90, 180), "Europe/Moscow");  // the corner belongs to the last cell
}

TEST(ZoneMap, DamagedFileGivesAnEmptyMap) {
    const std::string good = tinyMap();
    const auto damaged = [](const std::string& bytes) {
        ZoneMapProblem problem = ZoneMapProblem::None;
        const ZoneMap map = ZoneMap::parse(bytes, &problem);
        return problem == ZoneMapProblem::Damaged && map.empty() && map.indexAt(10, 10) == 0;
    };
    for (std::size_t n = 0; n < good.size(); ++n) EXPECT_TRUE(damaged(good.substr(0, n))) << "cut to " << n;
    EXPECT_TRUE(damaged(good + '\0'));
    const auto with = [&](std::size_t at, char c) {
        std::string b = good;
        b[at] = c;
        return b;
    };
    EXPECT_TRUE(damaged(with(0, 'X')));               // not the format
    EXPECT_TRUE(damaged(with(8, 2)));                 // a later version
    EXPECT_TRUE(damaged(with(10, 1)));                // shallower than its tree
    EXPECT_TRUE(damaged(with(10, 60)));               // deeper than any map
    EXPECT_TRUE(damaged(with(12, 2)));                // fewer zones than names
    EXPECT_TRUE(damaged(with(20, 1)));                // fewer nodes than the stream holds
    EXPECT_TRUE(damaged(with(20, 3)));                // more
    EXPECT_TRUE(damaged(with(28 + 6, ' ')));          // a name no zone has
    EXPECT_TRUE(damaged(with(good.size() - 7, 9)));   // a zone beyond the names
    EXPECT_TRUE(damaged(with(good.size() - 8, 0)));   // a stream of inner nodes only

    ZoneMapProblem problem = ZoneMapProblem::None;
    EXPECT_TRUE(ZoneMap::read(GEOVANTA_SOURCE_DATA "/timezones/no-such-file", &problem).empty());
    EXPECT_EQ(problem, ZoneMapProblem::Unreadable);
}

}  // namespace
}  // namespace geovanta

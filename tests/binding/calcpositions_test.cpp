#include "binding/calcpositions.h"

#include <gtest/gtest.h>

#include <cmath>

#include "binding/bindingrows.h"
#include "binding/placement.h"
#include "table/datatable.h"
#include "table/datetime.h"

using namespace geovanta;

using namespace geovanta::test;

TEST(PlaneDistance, IsFlatAndAsymmetric) {
    EXPECT_NEAR(PlaneDistance(55.0, 37.0, 55.0, 37.01), 637.80, 0.005);
    EXPECT_NEAR(PlaneDistance(55.0, 37.0, 55.01, 37.01), 1281.90, 0.005);
    EXPECT_NEAR(PlaneDistance(55.01, 37.01, 55.0, 37.0), 1281.82, 0.005);
    EXPECT_EQ(PlaneDistance(10, 20, 10, 20), 0.0);
}

TEST(CalcPositions, LegDistanceAndSpeed) {
    DataTable t;
    add(t, "T", "a", at(10, 0, 0), 55.0, 37.0);
    add(t, "P", "b", at(10, 1, 0), 55.0, 37.01);
    add(t, "T", "c", at(10, 1, 0), 55.0, 37.02);  // same time as b: Speed not written
    CalcPositions(t, {});
    EXPECT_EQ(t.real(0, FieldId::Dist), 0.0);
    EXPECT_EQ(t.real(0, FieldId::Speed), 0.0);
    EXPECT_EQ(t.displayText(1, FieldId::Dist), "637.80");
    EXPECT_EQ(t.displayText(1, FieldId::Speed), "38.27");
    EXPECT_FALSE(t.isNull(2, FieldId::Dist));
    EXPECT_TRUE(t.isNull(2, FieldId::Speed));
    EXPECT_EQ(t.recNo(), 0u);
    EXPECT_FALSE(t.displaySuspended());
}

TEST(CalcPositions, InterpolatesAPhotoInItsLeg) {
    DataTable t;
    add(t, "F", "photo", at(10, 0, 25));
    add(t, "T", "a", at(10, 0, 0), 55.0, 37.0, 100);
    add(t, "T", "b", at(10, 1, 40), 55.1, 37.2, 140);
    CalcPositions(t, {});
    const std::size_t p = find(t, "photo");
    EXPECT_EQ(p, 1u);
    EXPECT_DOUBLE_EQ(t.real(p, FieldId::Lat), 55.025);
    EXPECT_DOUBLE_EQ(t.real(p, FieldId::Lon), 37.05);
    EXPECT_DOUBLE_EQ(t.real(p, FieldId::Elev), 110);
    EXPECT_TRUE(t.isNull(p, FieldId::Dist));
    // Running the pass again changes nothing.
    CalcPositions(t, {});
    EXPECT_DOUBLE_EQ(t.real(find(t, "photo"), FieldId::Lat), 55.025);
}

TEST(CalcPositions, ToleranceIsExclusive) {
    DataTable t;
    add(t, "T", "a", at(10, 0, 0), 50.0, 10.0);
    add(t, "T", "b", at(10, 15, 0), 51.0, 11.0);
    add(t, "F", "400-500", at(10, 6, 40));  // 400 s after a, 500 s before b
    add(t, "T", "c", at(11, 0, 0), 52.0, 12.0);
    add(t, "T", "d", at(11, 10, 0), 53.0, 13.0);
    add(t, "F", "300-300", at(11, 5, 0));
    add(t, "T", "e", at(12, 0, 0), 54.0, 14.0);
    add(t, "T", "f", at(12, 9, 58), 55.0, 15.0);
    add(t, "F", "299-299", at(12, 4, 59));
    add(t, "T", "g", at(13, 0, 0), 56.0, 16.0);
    add(t, "T", "h", at(13, 10, 2), 57.0, 17.0);
    add(t, "F", "301-301", at(13, 5, 1));
    CalcPositions(t, {});
    EXPECT_TRUE(t.isNull(find(t, "400-500"), FieldId::Lat));
    EXPECT_TRUE(t.isNull(find(t, "300-300"), FieldId::Lat));
    EXPECT_DOUBLE_EQ(t.real(find(t, "299-299"), FieldId::Lat), 54.5);
    EXPECT_TRUE(t.isNull(find(t, "301-301"), FieldId::Lat));

    // Tolerance 0 or below places nothing.
    DataTable u;
    add(u, "T", "a", at(10, 0, 0), 50.0, 10.0);
    add(u, "F", "p", at(10, 0, 0));
    add(u, "T", "b", at(10, 1, 0), 51.0, 11.0);
    CalcPositions(u, {0, 0, 0});
    EXPECT_TRUE(u.isNull(find(u, "p"), FieldId::Lat));
}

// Each pass places exactly the photographs it finds within the tolerance: a
// position from an earlier pass, under other offsets, does not survive.
TEST(CalcPositions, EveryPassStartsEveryPhotoUnplaced) {
    DataTable t;
    add(t, "F", "early", at(9, 0, 0), 1.0, 2.0, 3.0);  // a position from somewhere else
    add(t, "T", "a", at(10, 0, 0), 50.0, 10.0, 100);
    add(t, "F", "inside", at(10, 0, 30));
    add(t, "T", "b", at(10, 1, 0), 51.0, 11.0, 200);
    add(t, "F", "late", at(11, 0, 0));
    auto unplaced = [&](const char* name) {
        const std::size_t r = find(t, name);
        return t.isNull(r, FieldId::Lat) && t.isNull(r, FieldId::Lon) && t.isNull(r, FieldId::Elev);
    };
    CalcPositions(t, {});
    EXPECT_TRUE(unplaced("early"));
    EXPECT_TRUE(unplaced("late"));
    EXPECT_DOUBLE_EQ(t.real(find(t, "inside"), FieldId::Lat), 50.5);

    // One hour earlier: "late" falls into the leg, "inside" before the track.
    const double hour = 1.0 / 24;
    CalcPositions(t, {0, -hour + 30.0 / 86400, 300});
    EXPECT_TRUE(unplaced("inside"));
    EXPECT_TRUE(unplaced("early"));
    EXPECT_DOUBLE_EQ(t.real(find(t, "late"), FieldId::Lat), 50.5);
    EXPECT_DOUBLE_EQ(t.real(find(t, "late"), FieldId::Elev), 150);

    // Out of tolerance, and back.
    CalcPositions(t, {0, 0, 10});
    for (const char* name : {"early", "inside", "late"}) EXPECT_TRUE(unplaced(name)) << name;
    CalcPositions(t, {});
    EXPECT_TRUE(unplaced("late"));
    EXPECT_DOUBLE_EQ(t.real(find(t, "inside"), FieldId::Lat), 50.5);
    // Track points keep what their file gave them.
    EXPECT_EQ(t.real(find(t, "a"), FieldId::Elev), 100.0);
}

TEST(CalcPositions, OffsetsShiftByKind) {
    DataTable t;
    add(t, "T", "t", at(10, 0, 0), 50.0, 10.0);
    add(t, "P", "w", at(10, 0, 0), 50.0, 10.0);
    add(t, "F", "f", at(10, 0, 0));
    add(t, "", "new", 0);  // a row without kind counts as a non-photo row
    CalcPositions(t, {1.0, -1.0 / 24, 300});
    EXPECT_EQ(formatDayTime(t.timeMs(find(t, "t"), FieldId::VTime)), "02.12.2010 10:00:00");
    EXPECT_EQ(formatDayTime(t.timeMs(find(t, "w"), FieldId::VTime)), "02.12.2010 10:00:00");
    EXPECT_EQ(formatDayTime(t.timeMs(find(t, "f"), FieldId::VTime)), "01.12.2010 09:00:00");
    EXPECT_EQ(formatDayTime(t.timeMs(find(t, "new"), FieldId::VTime)), "31.12.1899");
    EXPECT_EQ(find(t, "new"), 0u);
    // Absurd offsets from a settings file stay inside the calendar.
    CalcPositions(t, {1e300, -1e300, 300});
    EXPECT_EQ(t.rowCount(), 4u);
}

TEST(CalcPositions, EqualTimesPlaceAPhotoOnThatPoint) {
    // A photo added after the point sorts after it: r = 0 of the leg that starts there.
    DataTable t;
    add(t, "T", "a", at(10, 0, 0), 50.0, 10.0, 100);
    add(t, "T", "b", at(10, 1, 0), 51.0, 11.0, 200);
    add(t, "F", "p", at(10, 1, 0));
    add(t, "T", "c", at(10, 2, 0), 52.0, 12.0, 300);
    CalcPositions(t, {});
    EXPECT_DOUBLE_EQ(t.real(find(t, "p"), FieldId::Lat), 51.0);

    // Between two rows of the same time (r = 0/0) it takes that shared position.
    DataTable u;
    add(u, "T", "a", at(10, 0, 0), 50.0, 10.0, 100);
    add(u, "F", "p", at(10, 0, 0));
    add(u, "T", "a2", at(10, 0, 0), 50.0, 10.0, 100);
    CalcPositions(u, {});
    const std::size_t p = find(u, "p");
    EXPECT_EQ(u.real(p, FieldId::Lat), 50.0);
    EXPECT_EQ(u.real(p, FieldId::Lon), 10.0);
    EXPECT_EQ(u.real(p, FieldId::Elev), 100.0);
    EXPECT_FALSE(std::isnan(u.real(p, FieldId::Lat)));
}

TEST(CalcPositions, ElevationsAreSignedFractionalAndNeverInvented) {
    // Interpolated from the stored elevations, not from whole feet.
    DataTable f;
    add(f, "T", "a", at(10, 0, 0), 55.0, 37.0, 100.4);
    add(f, "F", "quarter", at(10, 0, 25));
    add(f, "T", "b", at(10, 1, 40), 55.1, 37.2, 140.6);
    CalcPositions(f, {});
    EXPECT_NEAR(f.real(find(f, "quarter"), FieldId::Elev), 110.45, 1e-9);

    // Below sea level, the no-altitude mark and an empty elevation.

    DataTable t;
    add(t, "T", "a", at(10, 0, 0), 50.0, 10.0, -100);
    add(t, "F", "below", at(10, 0, 30));
    add(t, "T", "b", at(10, 1, 0), 51.0, 11.0, -50);
    add(t, "F", "noalt", at(10, 1, 30));
    add(t, "T", "c", at(10, 2, 0), 52.0, 12.0, -777);
    add(t, "F", "empty", at(10, 2, 30));
    add(t, "T", "d", at(10, 3, 0), 53.0, 13.0);
    CalcPositions(t, {});
    EXPECT_DOUBLE_EQ(t.real(find(t, "below"), FieldId::Elev), -75);
    EXPECT_TRUE(t.isNull(find(t, "noalt"), FieldId::Elev));
    EXPECT_DOUBLE_EQ(t.real(find(t, "noalt"), FieldId::Lat), 51.5);
    EXPECT_TRUE(t.isNull(find(t, "empty"), FieldId::Elev));
    EXPECT_DOUBLE_EQ(t.real(find(t, "empty"), FieldId::Lat), 52.5);
}

TEST(CalcPositions, ManyPhotosInOneLeg) {
    DataTable t;
    add(t, "T", "a", at(10, 0, 0), 50.0, 10.0);
    const int photos = 70000;  // more than a 16-bit counter holds
    for (int i = 0; i < photos; ++i) {
        t.append();
        t.field(FieldId::Stat).setAsString("F");
        t.field(FieldId::Time).setAsDateTime(at(10, 0, 0) + (i % 60) / 86400.0);
    }
    add(t, "T", "b", at(10, 1, 0), 51.0, 11.0);
    CalcPositions(t, {});
    std::size_t placed = 0;
    for (std::size_t r = 0; r < t.rowCount(); ++r)
        if (t.isPhoto(r) && !t.isNull(r, FieldId::Lat)) ++placed;
    EXPECT_EQ(placed, static_cast<std::size_t>(photos));
}

TEST(CalcPositions, EmptyAndPhotoOnlyTables) {
    DataTable t;
    CalcPositions(t, {});
    EXPECT_EQ(t.rowCount(), 0u);
    add(t, "F", "p", at(10, 0, 0));
    CalcPositions(t, {});
    EXPECT_TRUE(t.isNull(0, FieldId::Lat));
    EXPECT_TRUE(t.isNull(0, FieldId::Dist));
}

// A photograph's own zone brings its time to UTC before the photo offset,
// only when asked; a photograph without one takes the offset alone. The
// explanation tells which applied.
TEST(CalcPositions, PhotoZonesBringTimesToUtc) {
    DataTable t;
    add(t, "F", "moscow", at(13, 0, 0));     // +03:00
    add(t, "F", "new-york", at(6, 0, 0));    // -04:00
    add(t, "F", "kathmandu", at(15, 45, 0)); // +05:45
    add(t, "F", "none", at(10, 0, 0));
    t.setPhotoZone(find(t, "moscow"), 180);
    t.setPhotoZone(find(t, "new-york"), -240);
    t.setPhotoZone(find(t, "kathmandu"), 345);
    add(t, "T", "a", at(9, 59, 0), 50.0, 10.0);
    add(t, "T", "b", at(10, 1, 0), 51.0, 11.0);
    const struct {
        bool zones;
        const char *moscow, *newYork, *kathmandu, *none;
    } cases[] = {
        {false, "01.12.2010 12:00:00", "01.12.2010 05:00:00", "01.12.2010 14:45:00", "01.12.2010 09:00:00"},
        {true, "01.12.2010 09:00:00", "01.12.2010 09:00:00", "01.12.2010 09:00:00", "01.12.2010 09:00:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.zones);
        CalcPositions(t, {0, -1.0 / 24, 300, c.zones});
        auto shifted = [&](const char* name) { return formatDayTime(t.timeMs(find(t, name), FieldId::VTime)); };
        EXPECT_EQ(shifted("moscow"), c.moscow);
        EXPECT_EQ(shifted("new-york"), c.newYork);
        EXPECT_EQ(shifted("kathmandu"), c.kathmandu);
        EXPECT_EQ(shifted("none"), c.none);
        // The camera's own time is kept.
        EXPECT_EQ(formatDayTime(t.timeMs(find(t, "new-york"), FieldId::Time)), "01.12.2010 06:00:00");
    }
    // Once in UTC, each is 60 s from a and placed.
    CalcPositions(t, {0, 0, 300, true});
    for (const char* name : {"moscow", "new-york", "kathmandu", "none"}) {
        const Placement p = explainPlacement(t, find(t, name), 300, true);
        EXPECT_EQ(p.kind, PlacementKind::Placed) << name;
        EXPECT_TRUE(p.zonesUsed);
    }
    EXPECT_EQ(explainPlacement(t, find(t, "new-york"), 300, true).zoneMinutes, -240);
    EXPECT_EQ(explainPlacement(t, find(t, "none"), 300, true).zoneMinutes, std::nullopt);
    EXPECT_FALSE(explainPlacement(t, find(t, "moscow"), 300).zonesUsed);
}

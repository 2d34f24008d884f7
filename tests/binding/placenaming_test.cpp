// Names and privacy zones through the pass: what the person typed and what
// the photograph carried against the lookup, and photographs kept out of a
// zone with its name as the reason.
#include "binding/placenaming.h"

#include <gtest/gtest.h>

#include "binding/bindingrows.h"
#include "binding/calcpositions.h"
#include "binding/placement.h"
#include "binding/travel.h"
#include "geo/greatcircle.h"

using namespace geovanta;
using namespace geovanta::test;

namespace {

std::shared_ptr<const PlaceFinder> finder() {
    std::string error;
    auto f = PlaceFinder::shared(GEOVANTA_PLACE_DIR, error);
    EXPECT_TRUE(f) << error;
    return f;
}

std::string names(const DataTable& t, std::size_t row) {
    const PlaceNames* n = t.placeNames(row);
    if (!n) return "-";
    return n->text[0] + "|" + n->text[1] + "|" + n->text[2] + "|" + n->text[3];
}

// Two photographs on a leg through Reykjavík's centre, one on a leg far out
// at sea.
void walk(DataTable& t) {
    add(t, "T", "a", at(10, 0, 0), 64.1460, -21.9440);
    add(t, "F", "town", at(10, 0, 30));
    add(t, "F", "edited", at(10, 0, 40));
    add(t, "T", "b", at(10, 1, 0), 64.1470, -21.9410);
    add(t, "T", "c", at(11, 0, 0), 45.0, -30.0);
    add(t, "F", "sea", at(11, 0, 30));
    add(t, "T", "d", at(11, 1, 0), 45.001, -30.0);
}

BindingParams naming(bool on, bool replace = false) {
    BindingParams p;
    if (on) p.naming.finder = finder();
    p.naming.replacePhotoNames = replace;
    return p;
}

}  // namespace

TEST(PlaceNaming, PersonsAndPhotosNamesAgainstTheLookup) {
    DataTable t;
    walk(t);
    CalcPositions(t, naming(true));
    EXPECT_EQ(names(t, find(t, "town")), "Reykjavík|Capital Region|Iceland|IS");
    EXPECT_EQ(names(t, find(t, "sea")), "-");

    // The person's town stays through every later pass, with the lookup's
    // region and country beside it; an emptied country stays empty.
    std::size_t row = find(t, "edited");
    t.setText(row, FieldId::City, "Old Harbour");
    t.setText(row, FieldId::Country, "");
    CalcPositions(t, naming(true));
    row = find(t, "edited");
    EXPECT_EQ(names(t, row), "Old Harbour|Capital Region||");
    EXPECT_EQ(t.placeNames(row)->sourceOf(PlacePart::City), NameSource::Person);

    // Names the photograph carried are shown, not mixed with the lookup's,
    // until the person asks for the lookup's.
    row = find(t, "town");
    PhotoFacts facts = t.photoFacts(row);
    facts.place = {};
    facts.place.set(PlacePart::City, "Reykjavik", NameSource::Photo);
    t.setPhotoFacts(row, facts);
    CalcPositions(t, naming(true));
    EXPECT_EQ(names(t, find(t, "town")), "Reykjavik|||");
    CalcPositions(t, naming(true, true));
    EXPECT_EQ(names(t, find(t, "town")), "Reykjavík|Capital Region|Iceland|IS");

    // Turned off, the lookup's names go and the person's stay.
    CalcPositions(t, naming(false));
    EXPECT_EQ(names(t, find(t, "town")), "-");
    EXPECT_EQ(names(t, find(t, "edited")), "Old Harbour|||");
}

TEST(PrivacyZones, PhotographInsideIsNotPlacedAndSaysWhy) {
    DataTable t;
    walk(t);
    BindingParams p = naming(true);
    // Both photographs of the town's leg lie within the circle, the one at sea far outside.
    p.privacyZones = {{"Дом", 64.1466, -21.9427, 100}};
    CalcPositions(t, p);
    const std::size_t town = find(t, "town");
    EXPECT_TRUE(t.isNull(town, FieldId::Lat));
    EXPECT_EQ(names(t, town), "-");
    EXPECT_FALSE(travelAt(t, town, p));
    const Placement why = explainPlacement(t, town, p);
    EXPECT_EQ(why.kind, PlacementKind::InPrivacyZone);
    EXPECT_EQ(why.privacyZone, "Дом");
    const PlacementSummary s = summarisePlacements(t, p);
    EXPECT_EQ(s.inPrivacyZones, 2u);
    EXPECT_EQ(s.placed, 1u);
    EXPECT_EQ(s.unplaced(), 2u);
}

TEST(PrivacyZones, ReadFromText) {
    const struct {
        const char* text;
        std::optional<PrivacyZone> zone;
    } cases[] = {
        {"55.75,37.61,300,Дом, дача", PrivacyZone{"Дом, дача", 55.75, 37.61, 300}},
        {"55.75,37.61,300", PrivacyZone{"55.75,37.61,300", 55.75, 37.61, 300}},
        {"55.75,37.61", std::nullopt},
        {"91,37.61,300,x", std::nullopt},
        {"55.75,37.61,0,x", std::nullopt},
        {"55.75,37.61,nan,x", std::nullopt},
        {"55.75,37.61,2e6,x", std::nullopt},
        {"55.75,37.61,300,", PrivacyZone{"55.75,37.61,300", 55.75, 37.61, 300}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseZone(c.text), c.zone);
        if (c.zone) {
            EXPECT_EQ(parseZone(zoneText(*c.zone)), c.zone);
        }
    }
}

TEST(Travel, DirectionAndSpeedOfTheLegWhileMoving) {
    DataTable t;
    // Due east along the equator, 0.01° (1113 m) in 100 s; then 50 m in 100 s.
    add(t, "T", "a", at(10, 0, 0), 0.0, 0.0);
    add(t, "F", "fast", at(10, 0, 50));
    add(t, "T", "b", at(10, 1, 40), 0.0, 0.01);
    add(t, "F", "slow", at(10, 2, 30));
    add(t, "T", "c", at(10, 3, 20), 0.00045, 0.01);
    const BindingParams p;
    CalcPositions(t, p);
    const auto fast = travelAt(t, find(t, "fast"), p);
    ASSERT_TRUE(fast);
    EXPECT_NEAR(fast->bearingDegrees, 90, 1e-6);
    EXPECT_NEAR(fast->speedKmh, greatCircleMetres(0, 0, 0, 0.01) / 100 * 3.6, 1e-9);
    EXPECT_FALSE(travelAt(t, find(t, "slow"), p));
    EXPECT_FALSE(travelAt(t, find(t, "a"), p));
}

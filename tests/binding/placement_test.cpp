#include "binding/placement.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "binding/bindingrows.h"
#include "binding/calcpositions.h"
#include "table/datatable.h"

using namespace geovanta;
using namespace geovanta::test;

namespace {

int64_t sec(double seconds) { return static_cast<int64_t>(seconds * 1000); }

// A photograph timed from its EXIF data or its file's date.
void addPhoto(DataTable& t, const char* name, double time, char source) {
    add(t, "F", name, time);
    t.edit();
    t.field(FieldId::TimeSource).setAsString(std::string(1, source));
    t.post();
}

Placement placement(PlacementKind kind, int64_t ms, bool fileDate = false) { return {kind, ms, fileDate, {}}; }

}  // namespace

TEST(Placement, DecisionsCarryTheirNumbers) {
    const int64_t prev = 0, next = sec(600);
    EXPECT_EQ(decidePlacement(sec(25), prev, next, 300), placement(PlacementKind::Placed, sec(25)));
    EXPECT_EQ(decidePlacement(sec(590.5), prev, next, 300), placement(PlacementKind::Placed, sec(9.5)));
    // The tolerance is exclusive: exactly 300 s from the nearer point is a gap.
    EXPECT_EQ(decidePlacement(sec(300), prev, next, 300), placement(PlacementKind::InGap, sec(300)));
    EXPECT_EQ(decidePlacement(sec(299.999), prev, next, 300), placement(PlacementKind::Placed, sec(299.999)));
    EXPECT_EQ(decidePlacement(sec(400), prev, sec(900), 300), placement(PlacementKind::InGap, sec(400)));
    EXPECT_EQ(decidePlacement(sec(1), prev, next, 0), placement(PlacementKind::InGap, sec(1)));
    EXPECT_EQ(decidePlacement(sec(-90), std::nullopt, prev, 300), placement(PlacementKind::BeforeTrack, sec(90)));
    EXPECT_EQ(decidePlacement(sec(1800), next, std::nullopt, 300), placement(PlacementKind::AfterTrack, sec(1200)));
    EXPECT_EQ(decidePlacement(sec(5), std::nullopt, std::nullopt, 300), placement(PlacementKind::NoTrack, 0));
    // Both ends at the photograph's moment.
    EXPECT_EQ(decidePlacement(sec(60), sec(60), sec(60), 300), placement(PlacementKind::Placed, 0));
}

// What the explanations say is what the pass did, photo by photo and in sum.
TEST(Placement, ExplanationsAgreeWithThePass) {
    DataTable t;
    addPhoto(t, "before", at(9, 58, 20), kTimeFromExif);
    add(t, "T", "a", at(10, 0, 0), 50);
    addPhoto(t, "near-a", at(10, 0, 40), kTimeFromFileDate);
    add(t, "T", "b", at(10, 1, 0), 51);
    addPhoto(t, "gap", at(10, 8, 0), kTimeFromExif);  // 7 min from b, 12 min from c
    add(t, "P", "c", at(10, 20, 0), 52);
    addPhoto(t, "after", at(10, 50, 0), kTimeFromFileDate);
    addPhoto(t, "after2", at(10, 50, 0), kTimeFromExif);
    const BindingParams params{0, 0, 300};
    CalcPositions(t, params);

    std::vector<PhotoPlacement> each;
    const PlacementSummary s = summarisePlacements(t, params.tolerance, &each);
    PlacementSummary expected;
    expected.points = 3;
    expected.photos = 5;
    expected.placed = 1;
    expected.beforeTrack = 1;
    expected.afterTrack = 2;
    expected.inGaps = 1;
    expected.fromFileDate = 2;
    EXPECT_EQ(s, expected);
    EXPECT_EQ(s.unplaced(), 4u);

    const std::map<std::string, Placement> reasons = {
        {"before", placement(PlacementKind::BeforeTrack, sec(100))},
        {"near-a", placement(PlacementKind::Placed, sec(20), true)},
        {"gap", placement(PlacementKind::InGap, sec(420))},
        {"after", placement(PlacementKind::AfterTrack, sec(1800), true)},
        {"after2", placement(PlacementKind::AfterTrack, sec(1800))}};
    ASSERT_EQ(each.size(), reasons.size());
    std::size_t lastRow = 0;
    for (const PhotoPlacement& p : each) {
        const std::string name(t.text(p.row, FieldId::Name));
        SCOPED_TRACE(name);
        EXPECT_EQ(p.placement, reasons.at(name));
        EXPECT_EQ(explainPlacement(t, p.row, params.tolerance), p.placement);
        // Placed exactly when the pass gave a position.
        EXPECT_EQ(p.placement.kind == PlacementKind::Placed, !t.isNull(p.row, FieldId::Lat));
        EXPECT_GE(p.row, lastRow);  // in table order
        lastRow = p.row;
    }
}

// Nothing is kept per row: the explanation follows the table as it stands,
// whatever was deleted since the pass.
TEST(Placement, ExplanationsFollowTheTableAsItStands) {
    DataTable t;
    add(t, "T", "a", at(10, 0, 0), 50);
    add(t, "F", "p", at(10, 0, 30));
    add(t, "T", "b", at(10, 10, 0), 51);
    CalcPositions(t, {});
    EXPECT_EQ(explainPlacement(t, find(t, "p"), 300), placement(PlacementKind::Placed, sec(30)));
    t.moveTo(find(t, "a"));
    t.deleteRow();
    EXPECT_EQ(explainPlacement(t, find(t, "p"), 300), placement(PlacementKind::BeforeTrack, sec(570)));
    t.moveTo(find(t, "b"));
    t.deleteRow();
    EXPECT_EQ(explainPlacement(t, find(t, "p"), 300), placement(PlacementKind::NoTrack, 0));
    PlacementSummary none;
    none.photos = 1;
    none.noTrack = 1;
    EXPECT_EQ(summarisePlacements(t, 300), none);
}

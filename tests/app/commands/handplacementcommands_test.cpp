// Photographs placed by hand: what the document keeps through passes, offset
// changes and reloads, and what undo and redo give back.
#include "app/commands/handplacementcommands.h"

#include <gtest/gtest.h>

#include <cmath>

#include "app/document.h"
#include "app/inlinejobrunner.h"
#include "app/photomerge.h"
#include "support/documentrows.h"
#include "binding/bindingrows.h"
#include "binding/calcpositions.h"
#include "binding/nearestelevation.h"
#include "binding/placement.h"
#include "table/position.h"

using namespace geovanta;
using test::at;
using test::find;

namespace {

// A walk with a gap: IMG_A falls a quarter of the way along the first leg,
// IMG_B in the gap, where the pass cannot place it.
struct Fixture {
    Document document{ProgramState{}, SettingsFile(std::string())};
    InlineJobRunner jobs{document};
    HandPlacementCommands commands{document, jobs};
    DataTable& t = test::rowsOf(document);

    Fixture() {
        test::add(t, "T", "T01-0001", at(10, 0, 0), 64.0, -21.9, 100);
        test::add(t, "T", "T01-0002", at(10, 1, 40), 64.001, -21.9, 140);
        test::add(t, "T", "T01-0003", at(10, 30, 0), 64.01, -21.9, 200);
        test::add(t, "F", "IMG_A", at(10, 0, 25));
        test::add(t, "F", "IMG_B", at(10, 15, 0));
        t.setText(find(t, "IMG_B"), FieldId::FileName, "/photos/IMG_B.JPG");
        pass();
    }
    void pass() { CalcPositions(t, document.params()); }
    std::size_t row(const char* name) const { return find(t, name); }
    std::optional<double> lat(const char* name) const { return t.optReal(row(name), FieldId::Lat); }
    std::optional<double> elev(const char* name) const { return t.optReal(row(name), FieldId::Elev); }
    bool byHand(const char* name) const { return t.placedByHand(row(name)); }
    PlacementKind kind(const char* name) const {
        return explainPlacement(t, row(name), document.state().tolerance).kind;
    }
};

constexpr double kPassLatA = 64.00025;  // a quarter of the way from 64.0 to 64.001

}  // namespace

TEST(HandPlacement, KeepsItsPlaceThroughPassesOffsetsAndReloads) {
    Fixture f;
    ASSERT_FALSE(f.lat("IMG_B"));
    const auto placed = f.commands.place({f.row("IMG_B")}, 64.0004, -21.9001).row;
    ASSERT_EQ(placed, f.row("IMG_B"));
    EXPECT_TRUE(f.byHand("IMG_B"));
    EXPECT_EQ(f.lat("IMG_B"), 64.0004);
    EXPECT_EQ(f.elev("IMG_B"), 100);  // T01-0001 lies some 45 m off
    EXPECT_EQ(f.kind("IMG_B"), PlacementKind::ByHand);

    // The pass, whatever the offsets, neither moves nor clears it, nor places
    // it by time when it would: IMG_A placed by hand far from the track keeps
    // its place and has no elevation.
    ASSERT_TRUE(f.commands.place({f.row("IMG_A")}, 63.5, -20.0).row);
    EXPECT_FALSE(f.elev("IMG_A"));
    for (double photoOffset : {1.0 / 24, 0.0}) {
        f.document.state().photoOffset = photoOffset;
        f.pass();
        EXPECT_EQ(f.lat("IMG_B"), 64.0004);
        EXPECT_EQ(f.t.optReal(f.row("IMG_B"), FieldId::Lon), -21.9001);
        EXPECT_EQ(f.lat("IMG_A"), 63.5);
        EXPECT_FALSE(f.elev("IMG_A"));
    }
    const PlacementSummary s = summarisePlacements(f.t, f.document.state().tolerance);
    EXPECT_EQ(s.byHand, 2u);
    EXPECT_EQ(s.placed, 0u);
    EXPECT_EQ(s.unplaced(), 0u);

    // Reading the photo folder again refreshes the row but keeps the place.
    DataTable scanned;
    test::add(scanned, "F", "IMG_B", at(10, 15, 5));
    scanned.setText(0, FieldId::FileName, "/photos/IMG_B.JPG");
    const FileStamp stamp{1, 2, 3, 4};
    scanned.setFileStamp(0, stamp);
    f.t.setFileStamp(f.row("IMG_B"), stamp);
    ASSERT_EQ(PhotoMerge::into(f.t, scanned, "/photos/", false).refreshed, 1u);
    f.pass();
    EXPECT_NEAR(f.t.real(f.row("IMG_B"), FieldId::Time), at(10, 15, 5), 1e-8);
    EXPECT_TRUE(f.byHand("IMG_B"));
    EXPECT_EQ(f.lat("IMG_B"), 64.0004);
    EXPECT_EQ(f.elev("IMG_B"), 100);

    // A new trip starts with nothing to undo.
    f.document.clear();
    EXPECT_FALSE(f.commands.canUndo());
}

TEST(HandPlacement, UndoAndRedoWalkTheSteps) {
    Fixture f;
    ASSERT_EQ(f.lat("IMG_A"), kPassLatA);
    // One drop of two photographs, then a move of one: two steps.
    f.commands.place({f.row("IMG_A"), f.row("IMG_B"), f.row("IMG_B")}, 64.002, -21.9);
    f.commands.place({f.row("IMG_B")}, 64.003, -21.9);
    EXPECT_FALSE(f.commands.canRedo());

    EXPECT_EQ(f.commands.undo().row, f.row("IMG_B"));
    EXPECT_EQ(f.lat("IMG_B"), 64.002);
    EXPECT_TRUE(f.byHand("IMG_B"));
    // Undoing the first placement gives both back to the pass, which runs.
    f.document.state().photoOffset = 1.0 / 86400;  // what the pass does now, not what it did then
    f.commands.undo();
    EXPECT_FALSE(f.byHand("IMG_A"));
    EXPECT_FALSE(f.byHand("IMG_B"));
    EXPECT_NEAR(*f.lat("IMG_A"), 64.0 + 0.001 * 26 / 100, 1e-9);
    EXPECT_FALSE(f.lat("IMG_B"));
    EXPECT_FALSE(f.commands.canUndo());
    EXPECT_EQ(f.commands.undo().row, std::nullopt);

    f.commands.redo();
    EXPECT_EQ(f.lat("IMG_A"), 64.002);
    EXPECT_EQ(f.lat("IMG_B"), 64.002);
    f.commands.redo();
    EXPECT_EQ(f.lat("IMG_B"), 64.003);
    EXPECT_EQ(f.commands.redo().row, std::nullopt);

    // "Вернуть автоматическую привязку" is a step too.
    EXPECT_FALSE(f.commands.release(f.row("T01-0001")).row);
    ASSERT_TRUE(f.commands.release(f.row("IMG_B")).row);
    EXPECT_FALSE(f.byHand("IMG_B"));
    EXPECT_FALSE(f.lat("IMG_B"));
    f.commands.undo();
    EXPECT_TRUE(f.byHand("IMG_B"));
    EXPECT_EQ(f.lat("IMG_B"), 64.003);

    // A new step forgets what was undone; a photograph deleted since is passed over.
    f.commands.undo();
    f.commands.place({f.row("IMG_A")}, 64.004, -21.9);
    EXPECT_FALSE(f.commands.canRedo());
    f.t.moveTo(f.row("IMG_A"));
    f.t.deleteRow();
    EXPECT_EQ(f.commands.undo().row, std::nullopt);
    EXPECT_EQ(f.lat("IMG_B"), 64.002);
}

TEST(HandPlacement, ElevationOfTheNearestPointWithin100Metres) {
    DataTable t;
    test::add(t, "T", "high", at(10, 0, 0), 64.0, -21.9, 100);
    test::add(t, "T", "blank", at(10, 0, 1), 64.0003, -21.9);  // no elevation: passed over
    test::add(t, "P", "mark", at(10, 0, 2), 64.0004, -21.9, -777);  // the format's "no altitude"
    test::add(t, "P", "low", at(10, 0, 3), 64.001, -21.9, 40);
    test::add(t, "F", "photo", at(10, 0, 4), 64.0003, -21.9, 7);
    const double metre = 1 / 111197.0;  // of latitude
    const struct {
        double lat;
        std::optional<double> elev;
    } cases[] = {
        {64.0, 100},
        {64.0 - 90 * metre, 100},
        {64.0 - 99.9 * metre, 100},
        {64.0 - 100.1 * metre, std::nullopt},
        {64.00045, 100},  // "high" 50 m off, "low" 61 m
        {64.0006, 40},
        {64.0025, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(nearestElevation(t, c.lat, -21.9), c.elev) << c.lat;
}

TEST(HandPlacement, OnlyPhotographsOnTheGlobeAndTheirNames) {
    Fixture f;
    EXPECT_EQ(f.commands.place({f.row("T01-0001"), 99}, 64.0, -21.9).row, std::nullopt);
    for (const auto& [lat, lon] : {std::pair(91.0, 0.0), std::pair(0.0, -180.5), std::pair(std::nan(""), 0.0)})
        EXPECT_EQ(f.commands.place({f.row("IMG_B")}, lat, lon).row, std::nullopt);
    EXPECT_FALSE(f.commands.canUndo());
    // On the equator a photograph placed by hand is placed all the same.
    f.commands.place({f.row("IMG_B")}, 0.0, 10.0);
    EXPECT_TRUE(hasPosition(f.t, f.row("IMG_B")));

    using V = std::vector<std::size_t>;
    EXPECT_EQ(HandPlacementCommands::photosNamed(f.t, "IMG_B"), V{f.row("IMG_B")});
    EXPECT_EQ(HandPlacementCommands::photosNamed(f.t, "IMG_B.JPG"), V{f.row("IMG_B")});
    EXPECT_EQ(HandPlacementCommands::photosNamed(f.t, "/photos/IMG_B.JPG"), V{f.row("IMG_B")});
    EXPECT_EQ(HandPlacementCommands::photosNamed(f.t, "T01-0001"), V{});
}

// Setting the photo offset from a photograph whose true time is known.
#include "app/commands/referencephotocommand.h"

#include <gtest/gtest.h>

#include "app/programstate.h"
#include "app/settings.h"
#include "support/fakedialogs.h"
#include "support/lentdocument.h"
#include "support/tempdir.h"
#include "table/datatable.h"
#include "table/datetime.h"
#include "table/position.h"

using namespace geovanta;

namespace {

constexpr int64_t kSecond = 1000;
const int64_t kNoon = *civilToMs({2023, 9, 16, 12, 0, 0, 0});

struct Fixture {
    test::TempDir exe;
    test::FakeDialogs dialogs;
    DataTable table;
    ProgramState state;
    SettingsFile settings = SettingsFile::inFolder(exe.folder());

    Fixture() {
        addRow('T', "T01-0001", kNoon, 64.0);
        addRow('T', "T01-0002", kNoon + 200 * kSecond, 64.2);
        // The camera's clock runs 1 h 2 min 7 s ahead: at the camera's 13:02:57
        // it was really 12:00:50, a quarter of the way along the leg.
        addRow('F', "IMG_0001", kNoon + (3727 + 50) * kSecond, std::nullopt);
        state.tolerance = 300;
        CalcPositions(table, bindingParams(state));
    }
    void addRow(char stat, const char* name, int64_t timeMs, std::optional<double> lat) {
        table.append();
        const std::size_t r = table.recNo();
        table.setText(r, FieldId::Stat, std::string(1, stat));
        table.setText(r, FieldId::Name, name);
        table.setTimeMs(r, FieldId::Time, timeMs);
        if (lat) {
            table.setReal(r, FieldId::Lat, *lat);
            table.setReal(r, FieldId::Lon, -21.9);
        }
        table.post();
    }
    std::size_t photoRow() const {
        for (std::size_t r = 0; r < table.rowCount(); ++r)
            if (table.isPhoto(r)) return r;
        return 0;
    }
    void run() {
        test::withDocument(table, state, settings,
                           [&](Document& d, JobRunner& jobs) { ReferencePhotoCommand(d, dialogs, jobs).run(); });
    }
};

}  // namespace

TEST(ReferencePhotoCommand, TheTrueTimeSetsThePhotoOffsetToTheSecond) {
    Fixture f;
    f.table.moveTo(f.photoRow());
    ASSERT_FALSE(hasPosition(f.table, f.photoRow()));
    f.dialogs.shotTimeAnswers.push_back(kNoon + 50 * kSecond);
    f.run();

    ASSERT_EQ(f.dialogs.shotTimeCalls.size(), 1u);
    EXPECT_EQ(f.dialogs.shotTimeCalls[0].photoName, "IMG_0001");
    EXPECT_EQ(f.dialogs.shotTimeCalls[0].shownMs, kNoon + 3777 * kSecond) << "starts from the grid's time";
    EXPECT_EQ(daysToMs(f.state.photoOffset), -3727 * kSecond);
    const std::size_t photo = f.photoRow();
    EXPECT_EQ(f.table.recNo(), photo) << "the photograph stays current after the pass";
    EXPECT_EQ(f.table.timeMs(photo, FieldId::VTime), kNoon + 50 * kSecond);
    EXPECT_DOUBLE_EQ(f.table.real(photo, FieldId::Lat), 64.05);
    const ProgramState saved = f.settings.read("/");
    EXPECT_EQ(daysToMs(saved.photoOffset), -3727 * kSecond);
    EXPECT_EQ(saved.tolerance, 300);
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST(ReferencePhotoCommand, CancelChangesNothingAndAFailedSaveStillBinds) {
    Fixture f;
    f.table.moveTo(f.photoRow());
    f.run();  // cancelled: no answer queued
    f.table.moveTo(0);
    f.dialogs.shotTimeAnswers.push_back(kNoon);
    f.run();  // a track point
    EXPECT_EQ(f.dialogs.shotTimeCalls.size(), 1u);
    EXPECT_EQ(f.state.photoOffset, 0);
    EXPECT_FALSE(std::filesystem::exists(f.settings.path()));

    Fixture blocked;
    blocked.settings = SettingsFile(blocked.exe.folder() + "missing/Geovanta.ini");
    blocked.table.moveTo(blocked.photoRow());
    blocked.dialogs.shotTimeAnswers.push_back(kNoon + 50 * kSecond);
    blocked.run();
    ASSERT_EQ(blocked.dialogs.messages.size(), 1u);
    EXPECT_EQ(blocked.dialogs.messages[0].kind, MessageKind::Failure);
    EXPECT_TRUE(hasPosition(blocked.table, blocked.photoRow()))
        << "the new offset is in force and the pass follows it, saved or not";
}

// With the photographs' own zones in use the offset is what remains after
// the zone: the photograph lands on the true time, not an hour off.
TEST(ReferencePhotoCommand, TheOffsetIsTakenAfterThePhotographsZone) {
    Fixture f;
    f.state.photoZones = true;
    f.table.setPhotoZone(f.photoRow(), 60);  // the camera's clock on UTC+01:00, 2 min 7 s fast
    CalcPositions(f.table, bindingParams(f.state));
    f.table.moveTo(f.photoRow());
    f.dialogs.shotTimeAnswers.push_back(kNoon + 50 * kSecond);
    f.run();
    ASSERT_EQ(f.dialogs.shotTimeCalls.size(), 1u);
    EXPECT_EQ(f.dialogs.shotTimeCalls[0].shownMs, kNoon + 177 * kSecond);
    EXPECT_EQ(daysToMs(f.state.photoOffset), -127 * kSecond);
    EXPECT_EQ(f.table.timeMs(f.photoRow(), FieldId::VTime), kNoon + 50 * kSecond);
    EXPECT_DOUBLE_EQ(f.table.real(f.photoRow(), FieldId::Lat), 64.05);
}

// A photograph of a known camera sets that body's offset alone: the photo
// offset, which the other cameras go by, stays.
TEST(ReferencePhotoCommand, APhotographOfACameraSetsThatCamerasOffsetOnly) {
    Fixture f;
    const CameraKey body{"Canon", "Canon EOS R5", "0012"};
    PhotoFacts facts;
    facts.camera = body;
    f.table.setPhotoFacts(f.photoRow(), facts);
    f.state.photoOffset = 0.5;
    CalcPositions(f.table, bindingParams(f.state));
    f.table.moveTo(f.photoRow());
    f.dialogs.shotTimeAnswers.push_back(kNoon + 50 * kSecond);
    f.run();

    EXPECT_EQ(f.dialogs.shotTimeCalls.at(0).shownMs, kNoon + 3777 * kSecond + daysToMs(0.5));
    EXPECT_EQ(f.state.photoOffset, 0.5);
    ASSERT_EQ(f.state.cameras.size(), 1u);
    EXPECT_EQ(daysToMs(*f.state.cameras[0].offset), -3727 * kSecond);
    const std::size_t photo = f.photoRow();
    EXPECT_EQ(f.table.timeMs(photo, FieldId::VTime), kNoon + 50 * kSecond);
    EXPECT_DOUBLE_EQ(f.table.real(photo, FieldId::Lat), 64.05);
    const ProgramState saved = f.settings.read("/");
    ASSERT_EQ(saved.cameras.size(), 1u);
    EXPECT_EQ(saved.cameras[0].camera, body);
    EXPECT_EQ(daysToMs(*saved.cameras[0].offset), -3727 * kSecond);
    EXPECT_EQ(saved.photoOffset, 0);  // never written: the photo offset was not touched
}

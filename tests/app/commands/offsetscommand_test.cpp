#include "app/commands/offsetscommand.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <fstream>
#include <sstream>

#include "app/programstate.h"
#include "app/settings.h"
#include "support/fakedialogs.h"
#include "support/lentdocument.h"
#include "table/datatable.h"

using namespace geovanta;
namespace fs = std::filesystem;

namespace {

constexpr double kHour = 1.0 / 24;
constexpr double kMinute = 1.0 / 1440;

// Answers the offsets dialog with exactly the fields it was shown, as a person
// pressing OK without touching anything.
class EchoDialogs : public test::FakeDialogs {
public:
    std::optional<OffsetFields> askOffsets(const OffsetFields& fields) override {
        offsetsShown.push_back(fields);
        return fields;
    }
};

class OffsetsCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("geovanta-offsets-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        settings_ = SettingsFile::inFolder(dir_.string() + "/");
        // One track leg with a photograph in its middle.
        addRow("T", "T1", 40513.5, 55.0);
        addRow("T", "T2", 40513.5 + 2 * kHour, 56.0);
        addRow("F", "IMG", 40513.5 + kHour, std::nullopt);
    }
    void TearDown() override { fs::remove_all(dir_); }

    void addRow(const char* stat, const char* name, double time, std::optional<double> lat) {
        table_.append();
        table_.field(FieldId::Stat).setAsString(stat);
        table_.field(FieldId::Name).setAsString(name);
        table_.field(FieldId::Time).setAsDateTime(time);
        if (lat) table_.field(FieldId::Lat).setAsFloat(*lat);
        table_.post();
    }
    std::string iniText() const {
        std::ifstream in(settings_.path(), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // The command on a document holding the fixture's rows and state, with
    // jobs run at once; the results come back into the fixture.
    void run(const SettingsFile& settings, Dialogs& dialogs) {
        test::withDocument(table_, state_, settings,
                           [&](Document& d, JobRunner& jobs) { OffsetsCommand(d, dialogs, jobs).run(); });
    }
    std::size_t rowNamed(std::string_view name) const {
        for (std::size_t r = 0; r < table_.rowCount(); ++r)
            if (table_.text(r, FieldId::Name) == name) return r;
        ADD_FAILURE() << "no row " << name;
        return 0;
    }

    fs::path dir_;
    SettingsFile settings_{""};
    DataTable table_;
    ProgramState state_;
};

}  // namespace

TEST(OffsetFieldsOf, ToleranceBelowOneShowsAsOne) {
    ProgramState s;
    s.tolerance = 0;
    EXPECT_EQ(offsetFieldsOf(s).toleranceSeconds, 1);
    s.tolerance = -5;
    EXPECT_EQ(offsetFieldsOf(s).toleranceSeconds, 1);
    s.tolerance = 300;
    s.trackOffset = 0.75;
    s.photoOffset = -0.3;
    const OffsetFields f = offsetFieldsOf(s);
    EXPECT_EQ(f, (OffsetFields{1, -6, 0, 0, -7, -12, 300}));
}

TEST_F(OffsetsCommandTest, OkWithoutChangesKeepsOffsetsToTheSecondAndRunsThePass) {
    EchoDialogs dialogs;
    // Seconds come from a reference photograph or the file; the fields show minutes.
    state_.trackOffset = 2 * kHour + 45 * kMinute + 20.0 / 86400;
    state_.photoOffset = 0.75;
    state_.tolerance = 600;
    run(settings_, dialogs);

    ASSERT_EQ(dialogs.offsetsShown.size(), 1u);
    EXPECT_EQ(dialogs.offsetsShown[0], (OffsetFields{0, 3, -15, 1, -6, 0, 600}));
    EXPECT_DOUBLE_EQ(state_.trackOffset, 2 * kHour + 45 * kMinute + 20.0 / 86400);
    EXPECT_DOUBLE_EQ(state_.photoOffset, 0.75);
    EXPECT_EQ(state_.tolerance, 600);
    EXPECT_EQ(iniText(),
              "[Setting]\r\nDeltaTrack=0.114814814814815\r\nDeltaFoto=0.75\r\nDeltaSec=600\r\nPhotoZones=0\r\n");

    // A field changed: the fields' value, whole minutes.
    test::FakeDialogs changed;
    changed.offsetsAnswers.push_back(OffsetFields{0, 3, -14, 1, -6, 0, 600});
    run(settings_, changed);
    EXPECT_DOUBLE_EQ(state_.trackOffset, 166 * kMinute);
    EXPECT_TRUE(dialogs.messages.empty());
    // The pass ran: shifted times are set.
    EXPECT_FALSE(table_.isNull(rowNamed("T1"), FieldId::VTime));
}

TEST_F(OffsetsCommandTest, ElevenDaysAndZeroToleranceAreStoredAsShown) {
    EchoDialogs dialogs;
    state_.trackOffset = 11;
    state_.tolerance = 0;
    run(settings_, dialogs);
    EXPECT_EQ(dialogs.offsetsShown.at(0).trackDays, 10);
    EXPECT_EQ(dialogs.offsetsShown.at(0).toleranceSeconds, 1);
    EXPECT_EQ(state_.trackOffset, 10);
    EXPECT_EQ(state_.tolerance, 1);
    EXPECT_NE(iniText().find("DeltaTrack=10\r\n"), std::string::npos);
    EXPECT_NE(iniText().find("DeltaSec=1\r\n"), std::string::npos);
}

TEST_F(OffsetsCommandTest, MinusOneHourPhotoOffsetMovesPhotosAnHourEarlier) {
    test::FakeDialogs dialogs;
    OffsetFields answer;
    answer.photoHours = -1;
    dialogs.offsetsAnswers.push_back(answer);
    run(settings_, dialogs);

    EXPECT_DOUBLE_EQ(state_.photoOffset, -kHour);
    EXPECT_NE(iniText().find("DeltaFoto=-0.0416666666666667\r\n"), std::string::npos);
    const std::size_t photo = rowNamed("IMG");
    EXPECT_EQ(table_.timeMs(photo, FieldId::VTime), table_.timeMs(photo, FieldId::Time) - 3600 * 1000);
    // Now at the leg's first point, within the tolerance of it.
    EXPECT_DOUBLE_EQ(table_.real(photo, FieldId::Lat), 55.0);
}

TEST_F(OffsetsCommandTest, PhotoZonesAreShownSavedAndApplied) {
    const std::size_t photo = rowNamed("IMG");
    table_.setPhotoZone(photo, -60);  // taken on UTC-01:00: an hour later in UTC
    test::FakeDialogs dialogs;
    OffsetFields answer;
    answer.photoZones = true;
    dialogs.offsetsAnswers.push_back(answer);
    run(settings_, dialogs);
    EXPECT_TRUE(state_.photoZones);
    EXPECT_NE(iniText().find("PhotoZones=1\r\n"), std::string::npos);
    const std::size_t moved = rowNamed("IMG");
    EXPECT_EQ(table_.timeMs(moved, FieldId::VTime), table_.timeMs(moved, FieldId::Time) + 3600 * 1000);
    EchoDialogs echo;
    run(settings_, echo);
    EXPECT_TRUE(echo.offsetsShown.at(0).photoZones);
}

TEST_F(OffsetsCommandTest, AnswersOutsideTheFieldsAreHeldToTheirRanges) {
    test::FakeDialogs dialogs;
    dialogs.offsetsAnswers.push_back(OffsetFields{50, 99, -99, 0, 0, 0, -3});
    run(settings_, dialogs);
    EXPECT_DOUBLE_EQ(state_.trackOffset, 10 + 12 * kHour - 59 * kMinute);
    EXPECT_EQ(state_.tolerance, 1);
}

TEST_F(OffsetsCommandTest, CancelLeavesStateFileAndTableUntouched) {
    test::FakeDialogs dialogs;
    dialogs.offsetsAnswers.push_back(std::nullopt);
    state_.photoOffset = 0.5;
    run(settings_, dialogs);
    EXPECT_EQ(dialogs.offsetsShown.size(), 1u);
    EXPECT_EQ(state_.photoOffset, 0.5);
    EXPECT_FALSE(fs::exists(settings_.path()));
    for (std::size_t r = 0; r < table_.rowCount(); ++r) EXPECT_TRUE(table_.isNull(r, FieldId::VTime));
    EXPECT_EQ(table_.text(2, FieldId::Name), "IMG");  // not sorted either
}

TEST_F(OffsetsCommandTest, UnwritableSettingsAreReportedAndTheOffsetsStillApply) {
    EchoDialogs dialogs;
    const SettingsFile unwritable((dir_ / "missing-folder" / "Geovanta.ini").string());
    state_.trackOffset = kHour;
    run(unwritable, dialogs);

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Failure);
    EXPECT_EQ(dialogs.messages[0].text, "Unable to write to " + unwritable.path() + ".");
    // The new values are in force and the positions follow them: the
    // status bar never shows offsets the table does not reflect.
    EXPECT_DOUBLE_EQ(state_.trackOffset, kHour);
    const std::size_t track = rowNamed("T1");
    EXPECT_EQ(table_.timeMs(track, FieldId::VTime), table_.timeMs(track, FieldId::Time) + 3600 * 1000);
}

TEST_F(OffsetsCommandTest, ACameraOffsetIsKeptForTheNextStart) {
    const CameraKey body{"Canon", "Canon EOS R5", "0012"};
    PhotoFacts facts;
    facts.camera = body;
    table_.setPhotoFacts(rowNamed("IMG"), facts);
    addRow("F", "PHONE", 40513.5 + kHour, std::nullopt);  // no camera: the photo offset
    test::FakeDialogs dialogs;
    OffsetFields answer;
    answer.photoHours = 1;
    CameraFields line;
    line.ownOffset = true;
    line.hours = -1;
    line.minutes = -3;
    line.seconds = -20;
    answer.cameras = {line};
    dialogs.offsetsAnswers.push_back(answer);
    run(settings_, dialogs);

    ASSERT_EQ(dialogs.offsetsShown.at(0).cameras.size(), 1u);
    EXPECT_EQ(dialogs.offsetsShown[0].cameras[0].name, "Canon EOS R5");
    EXPECT_EQ(dialogs.offsetsShown[0].cameras[0].photos, 1u);
    const int64_t camera = -(3600 + 180 + 20) * 1000, photo = 3600 * 1000;
    const std::size_t img = rowNamed("IMG"), phone = rowNamed("PHONE");
    EXPECT_EQ(table_.timeMs(img, FieldId::VTime), table_.timeMs(img, FieldId::Time) + camera);
    EXPECT_EQ(table_.timeMs(phone, FieldId::VTime), table_.timeMs(phone, FieldId::Time) + photo);

    // The next start reads the body's offset back, serial and all, and the
    // dialog opens on it to the second.
    std::vector<std::string> messages;
    SettingsFile again = SettingsFile::inFolder(dir_.string() + "/");
    const ProgramState next = again.readAtStart(dir_.string(), messages);
    ASSERT_EQ(next.cameras.size(), 1u);
    EXPECT_EQ(next.cameras[0].camera, body);
    EXPECT_EQ(next.cameras[0].camera.serial, "0012");
    EXPECT_NEAR(*next.cameras[0].offset * 86400, -3800, 1e-6);
    EXPECT_FALSE(next.cameras[0].localTime);
    const OffsetFields shown = offsetFieldsOf(next, camerasIn(table_));
    ASSERT_EQ(shown.cameras.size(), 1u);
    EXPECT_TRUE(shown.cameras[0].ownOffset);
    EXPECT_EQ(shown.cameras[0].minutes, -3);
    EXPECT_EQ(shown.cameras[0].seconds, -20);
}

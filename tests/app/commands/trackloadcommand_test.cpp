#include "app/commands/trackloadcommand.h"

#include <gtest/gtest.h>

#include <string>

#include "app/document.h"
#include "app/inlinejobrunner.h"
#include "app/programstate.h"
#include "app/settings.h"
#include "support/fakedialogs.h"
#include "support/tempdir.h"
#include "table/datatable.h"
#include "input/ozifileheaders.h"
#include "support/language.h"

using namespace geovanta;
using test::FakeDialogs;

namespace {

class TrackLoadCommandTest : public ::testing::Test {
protected:
    TrackLoadCommandTest() {
        state.dataFolder = "/start/";
        trackFile = dir.write("Walk.PLT", std::string(test::kPltHeader) + "55.1,37.1,0,100,40513.5\r\n");
        waypointFile = dir.write("Places.WPT", std::string(test::kWptHeader) + "1,A,55.5,37.5,40513.5,\r\n");
    }
    void choose(const std::string& path, int filter) { dialogs.fileAnswers.push_back(Dialogs::FileChoice{path, filter}); }
    std::string savedDataPath() const { return settings.read("/default/").dataFolder; }

    test::TempDir dir;
    FakeDialogs dialogs;
    Document document{ProgramState{}, SettingsFile::inFolder(dir.folder())};
    const DataTable& table = document.table();
    ProgramState& state = document.state();
    const SettingsFile& settings = document.settings();
    InlineJobRunner jobs{document};
    TrackLoadCommand command{dialogs, document, jobs};
    std::string trackFile, waypointFile;
};

}  // namespace

TEST_F(TrackLoadCommandTest, CancelDoesNothing) {
    geovanta::test::LanguageScope russian(Language::Russian);
    command.run();
    ASSERT_EQ(dialogs.openFileCalls.size(), 1u);
    EXPECT_EQ(dialogs.openFileCalls[0].startFolder, "/start/");
    const std::string& filters = dialogs.openFileCalls[0].filters;
    EXPECT_TRUE(filters.starts_with("Треки OziExplorer|*.PLT;*.PLT.GZ|Точки OziExplorer|*.WPT;*.WPT.GZ|GPX|*.GPX;"))
        << filters;
    EXPECT_NE(filters.find("|Все файлы GPS|*.PLT;*.PLT.GZ;*.WPT;"), std::string::npos) << filters;
    EXPECT_EQ(dialogs.openFileCalls[0].filterIndex, 1);
    EXPECT_EQ(dialogs.openFileCalls[0].fileName, "");
    EXPECT_EQ(state.dataFolder, "/start/");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(savedDataPath(), "/default/");
}

TEST_F(TrackLoadCommandTest, GpxEntryAndTheAllFilesEntryWhichGoesByExtension) {
    geovanta::test::LanguageScope russian(Language::Russian);
    const std::string gpx = dir.write(
        "Ride.GPX",
        "<?xml version=\"1.0\"?><gpx version=\"1.1\" creator=\"t\" xmlns=\"http://www.topografix.com/GPX/1/1\">"
        "<trk><trkseg><trkpt lat=\"55.1\" lon=\"37.1\"><ele>1e20</ele><time>2010-12-01T12:00:00Z</time></trkpt>"
        "<trkpt lat=\"55.2\" lon=\"37.2\"/></trkseg></trk></gpx>");
    const std::string other = dir.write("notes.txt", "x");
    const int all = allGpsFilterIndex();
    choose(gpx, 3);
    choose(trackFile, all);
    choose(waypointFile, all);
    choose(gpx, all);
    choose(other, all);
    for (int i = 0; i < 5; ++i) command.run();
    // The GPX file twice, the second load replacing the first, then a track
    // point and a waypoint.
    EXPECT_EQ(table.rowCount(), 3u);
    EXPECT_EQ(state.trackCounter, 3);
    const std::string skipped = "Пропущено точек без времени: 1 (" + gpx + ")";
    const std::string noAltitude = "Точек с невозможной высотой (взяты без высоты): 1 (" + gpx + ")";
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[0].text, skipped + "\n" + noAltitude) << "one box for what a load left out";
    EXPECT_EQ(dialogs.messages[1].text, skipped + "\n" + noAltitude);
    EXPECT_EQ(dialogs.messages[2].kind, MessageKind::Error);
    EXPECT_EQ(dialogs.messages[2].text, "Неизвестный тип файла: " + other);
    EXPECT_EQ(command.filterIndex(), all) << "the dialog comes back with the entry last used";
}

TEST_F(TrackLoadCommandTest, LoadsByFilterAndRemembersTheDialog) {
    choose(trackFile, 1);
    command.run();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(table.rowCount(), 1u);
    EXPECT_EQ(state.dataFolder, dir.folder());
    EXPECT_EQ(savedDataPath(), dir.folder());

    choose(waypointFile, 2);
    command.run();
    EXPECT_EQ(dialogs.openFileCalls[1].startFolder, dir.folder());
    EXPECT_EQ(dialogs.openFileCalls[1].fileName, trackFile);
    EXPECT_EQ(table.rowCount(), 2u);
    EXPECT_EQ(table.text(1, FieldId::Stat), "P");

    command.run();  // cancelled: the dialog still offers the last choice
    EXPECT_EQ(dialogs.openFileCalls[2].filterIndex, 2);
    EXPECT_EQ(dialogs.openFileCalls[2].fileName, waypointFile);
}

// A file named relative to the working folder (a program argument) gives
// the dialog and the settings its absolute folder, not an empty one.
TEST_F(TrackLoadCommandTest, ARelativeArgumentGivesAnAbsoluteFolder) {
    {
        test::WorkingFolder inside(dir.path());
        command.load("Walk.PLT");
    }
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(table.rowCount(), 1u);
    EXPECT_EQ(state.dataFolder, dir.folder());
    EXPECT_EQ(savedDataPath(), dir.folder());
    command.run();
    ASSERT_EQ(dialogs.openFileCalls.size(), 1u);
    EXPECT_EQ(dialogs.openFileCalls[0].fileName, trackFile);
}

// A file loaded from the program's arguments is offered next in the entry
// that can open it, so pressing Open on what the dialog offers always works.
TEST_F(TrackLoadCommandTest, TheDialogOpensOnTheEntryOfTheFileItOffers) {
    const std::string gpx = dir.write("walk.gpx", "<gpx version=\"1.1\" creator=\"t\"></gpx>");
    const struct {
        std::string file;
        int entry;
    } cases[] = {{gpx, 3}, {trackFile, 1}, {dir.file("walk.gpx.gz"), 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        command.load(c.file);
        dialogs.openFileCalls.clear();
        command.run();
        ASSERT_EQ(dialogs.openFileCalls.size(), 1u);
        EXPECT_EQ(dialogs.openFileCalls[0].fileName, c.file);
        EXPECT_EQ(dialogs.openFileCalls[0].filterIndex, c.entry);
    }
}

TEST_F(TrackLoadCommandTest, TheFilterNotTheExtensionPicksTheReader) {
    geovanta::test::LanguageScope russian(Language::Russian);
    choose(trackFile, 2);
    command.run();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(dialogs.messages[0].text, "Файл не совместим с указанным форматом");

    choose(waypointFile, 1);
    command.run();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text, "Файл не является треком OziExplorer!");

    // A rejection completes the command.
    EXPECT_TRUE(table.isEmpty());
    EXPECT_EQ(savedDataPath(), dir.folder());
    EXPECT_EQ(state.trackCounter, 0);
}

TEST_F(TrackLoadCommandTest, AnErrorEndsTheCommandWithoutSavingTheFolder) {
    test::TempDir other;
    const std::string bad = other.write("bad.plt", std::string(test::kPltHeader) + "55.1,37.1,0,100,x\r\n");
    choose(bad, 1);
    command.run();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Failure);
    EXPECT_EQ(dialogs.messages[0].text, "'x' is not a valid floating point value\n" + bad + ", line 7.");
    EXPECT_EQ(state.dataFolder, other.folder()) << "the next dialog starts there";
    EXPECT_EQ(savedDataPath(), "/default/");

    choose(other.folder() + "gone.plt", 1);
    command.run();
    EXPECT_EQ(dialogs.messages[1].text, "Cannot open file " + other.folder() + "gone.plt: No such file or directory.");
}

TEST_F(TrackLoadCommandTest, SettingsThatCannotBeWrittenAreReported) {
    Document elsewhere(ProgramState{}, SettingsFile("/nonexistent-folder/Geovanta.ini"));
    InlineJobRunner elsewhereJobs(elsewhere);
    TrackLoadCommand cmd(dialogs, elsewhere, elsewhereJobs);
    choose(trackFile, 1);
    cmd.run();
    EXPECT_EQ(elsewhere.table().rowCount(), 1u);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Failure);
    EXPECT_EQ(dialogs.messages[0].text, "Unable to write to /nonexistent-folder/Geovanta.ini.");
}

TEST_F(TrackLoadCommandTest, AFileLoadedAgainReplacesItsOwnRows) {
    const std::string gpx = dir.write(
        "Ride.gpx",
        "<?xml version=\"1.0\"?><gpx version=\"1.1\" creator=\"t\" xmlns=\"http://www.topografix.com/GPX/1/1\">"
        "<wpt lat=\"55.3\" lon=\"37.3\"><time>2010-12-01T12:00:00Z</time><name>W</name></wpt>"
        "<trk><trkseg><trkpt lat=\"55.1\" lon=\"37.1\"><time>2010-12-01T12:00:00Z</time></trkpt>"
        "<trkpt lat=\"55.2\" lon=\"37.2\"><time>2010-12-01T12:01:00Z</time></trkpt></trkseg></trk></gpx>");
    command.load(trackFile);
    command.load(gpx);
    ASSERT_EQ(table.rowCount(), 4u);
    // The track file grew a point meanwhile, and is named another way.
    dir.write("Walk.PLT", std::string(test::kPltHeader) + "55.1,37.1,0,100,40513.5\r\n55.2,37.2,0,100,40513.6\r\n");
    command.load(dir.folder() + "./Walk.PLT");
    command.load(gpx);
    EXPECT_TRUE(dialogs.messages.empty());
    ASSERT_EQ(table.rowCount(), 5u) << "2 track points, 1 waypoint and 2 GPX track points";
    int trackPoints = 0;
    for (std::size_t r = 0; r < table.rowCount(); ++r) trackPoints += table.text(r, FieldId::Stat) == "T";
    EXPECT_EQ(trackPoints, 4);
    EXPECT_EQ(document.sources().size(), 2u);

    // A file that is no longer a track leaves its earlier rows alone.
    dir.write("Walk.PLT", "not a track any more\r\n");
    command.load(trackFile);
    EXPECT_EQ(table.rowCount(), 5u);
}

TEST(TrackLoadCommandFolder, FolderOfAFileName) {
    EXPECT_EQ(TrackLoadCommand::folderOf("/data/gps/walk.plt"), "/data/gps/");
    EXPECT_EQ(TrackLoadCommand::folderOf("/walk.plt"), "/");
    EXPECT_EQ(TrackLoadCommand::folderOf("walk.plt"), "");
}

// The tag-writing commands with scripted ExifTool sessions and console.
#include "support/tabletagwrite.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "output/photorows.h"
#include "output/tagwriterpool.h"
#include "support/fakeconsole.h"
#include "support/fakedialogs.h"
#include "support/fakesessions.h"
#include "support/tempdir.h"
#include "table/datatable.h"
#include "support/language.h"

namespace geovanta {
namespace {

using ::testing::_;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using test::addPhoto;
using test::addTrackPoint;
using test::FakeSessions;
using Outcome = CommandResult::Outcome;

class TagCommandsTest : public ::testing::Test {
protected:
    // A photograph file for the scripted ExifTool: the writer looks at the
    // file before it hands it over.
    std::string p(const std::string& name) {
        const std::string path = dir.file(name);
        if (!std::filesystem::exists(path)) dir.write(name, "photo");
        return path;
    }

    test::TempDir dir;
    DataTable table;
    test::FakeConsole console;
    FakeSessions sessions;
    test::FakeDialogs dialogs;
    TagWriter writer{sessions};
    test::TableTagWrite commands{table, console, writer};
};

TEST_F(TagCommandsTest, BatchWalksPhotosKeepsGoingAndCountsFailures) {
    addTrackPoint(table, 55, 37);
    addPhoto(table, p("1.jpg"), 55.1, 37.1, 100.0);
    addPhoto(table, p("unplaced.jpg"), 0, 0);
    addTrackPoint(table, 55.2, 37.2);
    addPhoto(table, p("bad.jpg"), 55.2, 37.2, 100.0);
    addPhoto(table, p("killed.jpg"), 55.3, 37.3, 100.0);
    addPhoto(table, p("5.jpg"), 55.4, 37.4, 100.0);
    table.setLastScanPhotoCount(99);  // a stale count from some earlier scan
    sessions.answer(FakeSessions::success({"one"}));
    sessions.answer(FakeSessions::exited(1, {"Error: Not a valid JPG - /p/bad.jpg"}));
    sessions.answer(FakeSessions::ended(Outcome::Crashed));
    sessions.answer(FakeSessions::success({"five", "lines"}));
    console.infoEntries = {{"earlier batch"}};
    console.errors = {"earlier error"};

    commands.writeAllPhotos(dialogs);

    const auto calls = sessions.calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[3].args.back(), p("5.jpg"));
    // ExifTool ended under the fourth photograph; a new one wrote the fifth.
    EXPECT_EQ(calls[2].session, 1);
    EXPECT_EQ(calls[3].session, 2);
    const std::string summary = "GPS tags: 2 written, 1 not placed, 2 failed";
    const std::string badLine =
        "\"" + p("bad.jpg") + "\": /opt/geo/exiftool exited with code 1 (Error: Not a valid JPG - /p/bad.jpg)";
    const std::string killedLine = "\"" + p("killed.jpg") + "\": /opt/geo/exiftool crashed";
    // Each batch starts with an empty console and the choices in force, and
    // ends with every photograph not written, then the summary; the unplaced
    // photo is named with its reason (here, that the pass has not run since).
    EXPECT_THAT(console.choices, ElementsAre("Writing: into the photos", "Coordinates a photo already has are replaced",
                                             "Coordinates of unplaced photos are left as they are"));
    EXPECT_THAT(console.infoEntries,
                ElementsAre(ElementsAre("one"),
                            ElementsAre("\"" + p("unplaced.jpg") + "\": The table was changed after the calculation: "
                                        "positions are worked out again at the next load or change of offsets"),
                            IsEmpty(), IsEmpty(), ElementsAre("five", "lines"), ElementsAre(badLine, killedLine),
                            ElementsAre(summary)));
    EXPECT_EQ(console.maximum, 5);
    EXPECT_EQ(console.steps, 5);
    EXPECT_EQ(console.position, 5);
    EXPECT_EQ(console.showCount, 1);
    EXPECT_TRUE(console.shown);
    EXPECT_FALSE(console.abortable());
    EXPECT_FALSE(table.displaySuspended());
    EXPECT_TRUE(table.eof());
    EXPECT_THAT(console.errors, ElementsAre(badLine, killedLine));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Failure);
    EXPECT_EQ(dialogs.messages[0].text, summary + ":\n" + badLine + "\n" + killedLine + ".");
}

TEST_F(TagCommandsTest, EmptyTableAndTableWithoutPhotos) {
    commands.writeAllPhotos(dialogs);
    EXPECT_EQ(console.showCount, 0);

    addTrackPoint(table, 55, 37);
    commands.writeAllPhotos(dialogs);
    EXPECT_EQ(console.showCount, 1);
    EXPECT_THAT(console.infoEntries, ElementsAre(ElementsAre("GPS tags: 0 written, 0 not placed, 0 failed")));
    EXPECT_EQ(sessions.opened(), 0);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(TagCommandsTest, SinglePhotoConfirmsOnlyWhatWasWritten) {
    geovanta::test::LanguageScope russian(Language::Russian);
    addPhoto(table, p("a.jpg"), 55.7558, 37.6173, 500.0);
    console.infoEntries = {{"old"}, {"text"}};
    table.moveTo(0);
    commands.writeCurrentPhoto(dialogs);
    EXPECT_THAT(console.infoEntries, ElementsAre(ElementsAre("    1 image files updated")));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Plain);
    EXPECT_EQ(dialogs.messages[0].text, "Координаты записаны");
    EXPECT_EQ(table.recNo(), 0u);
    EXPECT_EQ(sessions.opened(), 1);

    sessions.failStart("Permission denied");
    for (CommandResult failed : {CommandResult{}, FakeSessions::exited(1, {}), FakeSessions::ended(Outcome::Crashed),
                                 FakeSessions::ended(Outcome::Stopped)}) {
        dialogs.messages.clear();
        if (failed.outcome != Outcome::NotStarted) sessions.answer(failed);
        commands.writeCurrentPhoto(dialogs);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Failure);
        EXPECT_THAT(dialogs.messages[0].text, HasSubstr("Не удалось записать GPS-теги в \"" + p("a.jpg") + "\": "));
        if (failed.outcome == Outcome::NotStarted) failed.startError = "Permission denied";
        EXPECT_THAT(console.errors.back(), HasSubstr(failed.failureReason("/opt/geo/exiftool")));
    }
    // One ExifTool per command.
    EXPECT_EQ(sessions.opened(), 5);
}

TEST_F(TagCommandsTest, PositionOutOfRangeIsNotWritten) {
    addPhoto(table, p("far.jpg"), 95, 37);
    addPhoto(table, p("wide.jpg"), 45, -181);
    const auto batch = commands.writeAll();
    EXPECT_TRUE(sessions.calls().empty());
    EXPECT_EQ(batch.failures.size(), 2u);
    EXPECT_EQ(batch.attempted, 2);
    EXPECT_FALSE(batch.allWritten());
}

TEST_F(TagCommandsTest, ExifToolThatCannotStartOrKeepsEndingFailsEachPhotoOnce) {
    for (int i = 0; i < 6; ++i) addPhoto(table, p(std::to_string(i) + ".jpg"), 50, 10);
    sessions.failStart("No such file or directory");
    auto batch = commands.writeAll();
    EXPECT_EQ(sessions.opened(), 1);
    EXPECT_TRUE(sessions.calls().empty());
    ASSERT_EQ(batch.failures.size(), 6u);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(batch.failures[i], "\"" + p(std::to_string(i) + ".jpg") +
                                         "\": could not start /opt/geo/exiftool: No such file or directory");
    EXPECT_EQ(console.steps, 6);

    // Ends under the first photograph, and its restart under the second: the
    // rest are not handed to a third.
    sessions.answer(FakeSessions::ended(Outcome::Stopped, {"Out of memory!"}));
    sessions.answer(FakeSessions::ended(Outcome::Crashed));
    batch = commands.writeAll();
    EXPECT_EQ(sessions.calls().size(), 2u);
    ASSERT_EQ(batch.failures.size(), 6u);
    EXPECT_EQ(batch.failures[0],
              "\"" + p("0.jpg") + "\": /opt/geo/exiftool stopped before finishing (exit code 0) (Out of memory!)");
    EXPECT_EQ(batch.failures[1], "\"" + p("1.jpg") + "\": /opt/geo/exiftool crashed");
    EXPECT_EQ(batch.failures[5], "\"" + p("5.jpg") + "\": not tried: /opt/geo/exiftool ended twice in a row");
    EXPECT_EQ(batch.written, 0);
}

TEST_F(TagCommandsTest, AbortDuringThirdOfTenStartsNoOtherPhoto) {
    for (int i = 1; i <= 10; ++i) addPhoto(table, p(std::to_string(i) + ".jpg"), 50 + i * 0.1, 30);
    sessions.onRun = [this](int call) {
        if (call == 3) console.pressAbort();
    };
    const auto batch = commands.writeAllPhotos(dialogs);
    EXPECT_EQ(sessions.calls().size(), 3u);
    EXPECT_TRUE(batch.aborted);
    EXPECT_EQ(batch.written, 3);
    EXPECT_EQ(batch.notTried, 7);
    EXPECT_FALSE(batch.allWritten());
    const std::string summary = "GPS tags: 3 written, 0 not placed, 0 failed, 7 not tried after the abort";
    EXPECT_EQ(batch.summary(), summary);
    // The abort came while the third was written: its text is not shown.
    // Each photograph not tried is named, then the summary comes last, and
    // a box repeats it.
    ASSERT_EQ(console.infoEntries.size(), 4u);
    EXPECT_THAT(console.infoEntries[2], ElementsAre("\"" + p("4.jpg") + "\": not tried after the abort", _, _, _, _, _,
                                                    "\"" + p("10.jpg") + "\": not tried after the abort"));
    EXPECT_THAT(console.infoEntries[3], ElementsAre(summary));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, summary);
    EXPECT_EQ(console.steps, 3);
    EXPECT_FALSE(console.abortable());
    EXPECT_EQ(table.recNo(), 2u);
    EXPECT_FALSE(table.eof());
}

// With more than one writer, every photograph is shown in table order, and
// a file that two rows name is written once, as the later row says.
TEST_F(TagCommandsTest, SeveralWritersKeepTableOrderAndWriteEachFileOnce) {
    constexpr int kPhotos = 60;
    for (int i = 0; i < kPhotos; ++i) addPhoto(table, p(std::to_string(i % 40) + ".jpg"), 50 + i * 0.01, 30);
    std::mutex mutex;
    std::set<std::string> busy;
    std::atomic<bool> shared{false};
    sessions.onRun = [&](int call) {
        const std::string file = sessions.calls()[call - 1].args.back();
        {
            std::lock_guard lock(mutex);
            if (!busy.insert(file).second) shared = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(call % 3));
        std::lock_guard lock(mutex);
        busy.erase(file);
    };
    sessions.reply = [](const std::vector<std::string>& args) { return FakeSessions::success({args.back()}); };
    const auto batch = commands.writeAll();
    EXPECT_EQ(batch.written, 40);  // each file once
    EXPECT_FALSE(shared);
    ASSERT_EQ(console.infoEntries.size(), std::size_t(kPhotos) + 1);
    for (int i = 0; i < kPhotos; ++i) {
        const std::string file = p(std::to_string(i % 40) + ".jpg");
        if (i < kPhotos - 40)
            EXPECT_THAT(console.infoEntries[i], ElementsAre("the same file as \"" + file + "\", written once"));
        else
            EXPECT_THAT(console.infoEntries[i], ElementsAre(file));
    }
    std::map<std::string, std::string> latitudes;
    for (const auto& call : sessions.calls()) EXPECT_TRUE(latitudes.emplace(call.args.back(), call.args[6]).second);
    EXPECT_EQ(latitudes.size(), 40u);
    EXPECT_EQ(latitudes[p("0.jpg")], TagWriter::arguments(table, 40)[6]);
    EXPECT_EQ(sessions.opened(), TagWriterPool::writersFor(40));
    EXPECT_EQ(console.steps, kPhotos);
}

}  // namespace
}  // namespace geovanta

// The tag-writing commands with a scripted runner and console.
#include "app/commands/tagcommands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "output/photorows.h"
#include "support/fakeconsole.h"
#include "support/fakedialogs.h"
#include "support/fakerunner.h"
#include "table/datatable.h"

namespace geovanta {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using test::addPhoto;
using test::addTrackPoint;
using test::FakeRunner;

class TagCommandsTest : public ::testing::Test {
protected:
    DataTable table;
    test::FakeConsole console;
    FakeRunner runner;
    test::FakeDialogs dialogs;
    TagWriter writer{runner, "/opt/geo/exiftool"};
    TagCommands commands{table, console, writer};
};

TEST_F(TagCommandsTest, BatchWalksPhotosKeepsGoingAndCountsFailures) {
    addTrackPoint(table, 55, 37);
    addPhoto(table, "/p/1.jpg", 55.1, 37.1, 100.0);
    addPhoto(table, "/p/unplaced.jpg", 0, 0);
    addTrackPoint(table, 55.2, 37.2);
    addPhoto(table, "/p/bad.jpg", 55.2, 37.2, 100.0);
    addPhoto(table, "/p/gone.jpg", 55.3, 37.3, 100.0);
    addPhoto(table, "/p/5.jpg", 55.4, 37.4, 100.0);
    table.setLastScanPhotoCount(99);  // a stale count from some earlier scan
    runner.answers = {FakeRunner::success({"one"}), FakeRunner::exited(1, {"Error: Not a valid JPG - /p/bad.jpg"}),
                      FakeRunner::notStarted("No such file or directory"), FakeRunner::success({"five", "lines"})};
    console.infoEntries = {{"earlier batch"}};

    commands.writeAllPhotos(dialogs);

    ASSERT_EQ(runner.calls.size(), 4u);
    EXPECT_EQ(runner.calls[0].program, "/opt/geo/exiftool");
    EXPECT_EQ(runner.calls[3].args.back(), "/p/5.jpg");
    // Memo1 keeps earlier text; the unplaced photo adds an empty entry.
    EXPECT_THAT(console.infoEntries, ElementsAre(ElementsAre("earlier batch"), ElementsAre("one"), IsEmpty(), IsEmpty(),
                                                 IsEmpty(), ElementsAre("five", "lines")));
    EXPECT_EQ(console.maximum, 5);
    EXPECT_EQ(console.steps, 5);
    EXPECT_EQ(console.position, 0);
    EXPECT_EQ(console.showCount, 1);
    EXPECT_EQ(console.closeCount, 1);
    EXPECT_TRUE(console.mainWindowEnabled);
    EXPECT_FALSE(table.displaySuspended());
    EXPECT_TRUE(table.eof());

    const std::string badLine = "\"/p/bad.jpg\": /opt/geo/exiftool exited with code 1 (Error: Not a valid JPG - /p/bad.jpg)";
    const std::string goneLine = "\"/p/gone.jpg\": could not start /opt/geo/exiftool: No such file or directory";
    EXPECT_THAT(console.errors, ElementsAre(badLine, goneLine));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Failure);
    EXPECT_EQ(dialogs.messages[0].text,
              "GPS tags were not written to 2 of 4 photos:\n" + badLine + "\n" + goneLine + ".");
}

TEST_F(TagCommandsTest, EmptyTableAndTableWithoutPhotos) {
    commands.writeAllPhotos(dialogs);
    EXPECT_EQ(console.showCount, 0);

    addTrackPoint(table, 55, 37);
    commands.writeAllPhotos(dialogs);
    EXPECT_EQ(console.showCount, 1);
    EXPECT_EQ(console.closeCount, 1);
    EXPECT_TRUE(runner.calls.empty());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(TagCommandsTest, SinglePhotoConfirmsOnlyWhatWasWritten) {
    addPhoto(table, "/p/a.jpg", 55.7558, 37.6173, 500.0);
    console.infoEntries = {{"old"}, {"text"}};
    table.moveTo(0);
    commands.writeCurrentPhoto(dialogs);
    EXPECT_THAT(console.infoEntries, ElementsAre(ElementsAre("    1 image files updated")));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Plain);
    EXPECT_EQ(dialogs.messages[0].text, "Координаты записаны");
    EXPECT_EQ(table.recNo(), 0u);

    for (CommandResult failed : {FakeRunner::notStarted("Permission denied"), FakeRunner::exited(1, {}),
                                 []() { CommandResult c; c.outcome = CommandResult::Outcome::Crashed; return c; }()}) {
        dialogs.messages.clear();
        runner.answers = {failed};
        commands.writeCurrentPhoto(dialogs);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Failure);
        EXPECT_THAT(dialogs.messages[0].text, HasSubstr("Cannot write the GPS tags of \"/p/a.jpg\": "));
        EXPECT_THAT(console.errors.back(), HasSubstr(failed.failureReason("/opt/geo/exiftool")));
    }
}

TEST_F(TagCommandsTest, PositionOutOfRangeIsNotWritten) {
    addPhoto(table, "/p/far.jpg", 95, 37);
    addPhoto(table, "/p/wide.jpg", 45, -181);
    const auto batch = commands.writeAll();
    EXPECT_TRUE(runner.calls.empty());
    EXPECT_EQ(batch.failures.size(), 2u);
    EXPECT_EQ(batch.attempted, 2);
}

}  // namespace
}  // namespace geovanta

#include "app/commands/gridcommands.h"

#include <gtest/gtest.h>

#include "support/documentrows.h"
#include "support/fakedialogs.h"

using namespace geovanta;

namespace {

class GridCommandsTest : public ::testing::Test {
protected:
    void add(const char* stat, const char* name, std::optional<double> lat = {}, const char* file = "") {
        table_.append();
        table_.field(FieldId::Stat).setAsString(stat);
        table_.field(FieldId::Name).setAsString(name);
        if (lat) table_.field(FieldId::Lat).setAsFloat(*lat);
        table_.field(FieldId::FileName).setAsString(file);
        table_.post();
    }
    std::vector<std::string> names() const {
        std::vector<std::string> n;
        for (std::size_t r = 0; r < table_.rowCount(); ++r) n.emplace_back(table_.text(r, FieldId::Name));
        return n;
    }

    Document document_{ProgramState{}, SettingsFile(std::string())};
    DataTable& table_ = test::rowsOf(document_);
    test::FakeDialogs dialogs_;
    GridCommands grid_{document_, dialogs_};
};

}  // namespace

// A photograph is placed when it has a latitude at all: the equator is a place.
TEST_F(GridCommandsTest, PhotoRowsAreMarkedByTheirLatitude) {
    add("T", "track", 55.0);
    add("F", "placed", 55.5, "/p/a.jpg");
    add("F", "unplaced", std::nullopt, "/p/b.jpg");
    add("F", "equator", 0.0, "/p/c.jpg");
    EXPECT_EQ(rowMark(table_, 0), RowMark::Default);
    EXPECT_EQ(rowMark(table_, 1), RowMark::Placed);
    EXPECT_EQ(rowMark(table_, 2), RowMark::Unplaced);
    EXPECT_EQ(rowMark(table_, 3), RowMark::Placed);
    EXPECT_EQ(rowMark(table_, 4), RowMark::Default);  // past the end
}

TEST_F(GridCommandsTest, PopupItemsFollowTheCurrentRow) {
    EXPECT_EQ(grid_.popupItems(), (PopupItems{false, false}));
    add("T", "track", 55.0);
    add("F", "unplaced", std::nullopt, "/p/b.jpg");
    add("F", "placed", 55.5, "/p/a.jpg");
    add("F", "equator", 0.0, "/p/c.jpg");
    grid_.rowEntered(0);
    EXPECT_EQ(grid_.popupItems(), (PopupItems{false, false}));
    grid_.rowEntered(1);
    EXPECT_EQ(grid_.popupItems(), (PopupItems{true, false, true}));
    grid_.rowEntered(2);
    EXPECT_EQ(grid_.popupItems(), (PopupItems{true, true, true}));
    grid_.rowEntered(3);
    EXPECT_EQ(grid_.popupItems(), (PopupItems{true, true, true}));
}

TEST_F(GridCommandsTest, OpensOnlyRowsWithAFile) {
    grid_.openCurrentPhoto();
    add("T", "track", 55.0);
    add("F", "photo", 55.5, "/p/a.jpg");
    grid_.rowEntered(0);
    grid_.openCurrentPhoto();
    grid_.rowEntered(1);
    grid_.openCurrentPhoto();
    EXPECT_EQ(dialogs_.viewed, std::vector<std::string>{"/p/a.jpg"});
    EXPECT_TRUE(dialogs_.messages.empty());

    // A viewer that cannot be started is said in a box naming the file.
    dialogs_.viewerStarts = false;
    grid_.openCurrentPhoto();
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].kind, MessageKind::Failure);
    EXPECT_NE(dialogs_.messages[0].text.find("/p/a.jpg"), std::string::npos) << dialogs_.messages[0].text;
}

TEST_F(GridCommandsTest, EditsAreStoredWhenLeavingTheRowAndBadValuesAreReported) {
    add("T", "a", 55.0);
    add("T", "b", 56.0);
    grid_.rowEntered(0);
    EXPECT_TRUE(grid_.setField(0, FieldId::Dist, "12.5"));
    EXPECT_TRUE(grid_.setField(0, FieldId::VTime, "01.12.2010 10:00:00"));
    EXPECT_EQ(table_.state(), DataTable::State::Edit);
    grid_.rowEntered(1);
    EXPECT_EQ(table_.state(), DataTable::State::Browse);
    EXPECT_EQ(table_.real(0, FieldId::Dist), 12.5);
    EXPECT_EQ(GridCommands::editText(table_, 0, FieldId::VTime), "01.12.2010 10:00:00");

    EXPECT_FALSE(grid_.setField(1, FieldId::Speed, "fast"));
    ASSERT_EQ(dialogs_.messages.size(), 1u);
    EXPECT_EQ(dialogs_.messages[0].kind, MessageKind::Failure);
    EXPECT_EQ(dialogs_.messages[0].text, "'fast' is not a valid floating point value for field 'Speed'");
    EXPECT_EQ(table_.state(), DataTable::State::Browse);

    // Calculated and hidden fields are not edited.
    EXPECT_FALSE(grid_.setField(1, FieldId::VLat, "1"));
    EXPECT_FALSE(grid_.setField(1, FieldId::Lat, "1"));
    EXPECT_EQ(table_.real(1, FieldId::Lat), 56.0);
}

TEST_F(GridCommandsTest, EditorTextKeepsEveryDigit) {
    add("T", "a", 55.0);
    table_.setReal(0, FieldId::Dist, 1234.5678);
    EXPECT_EQ(table_.displayText(0, FieldId::Dist), "1234.57");
    EXPECT_EQ(GridCommands::editText(table_, 0, FieldId::Dist), "1234.5678");
    // Committing the unchanged text leaves the row untouched.
    EXPECT_TRUE(grid_.setField(0, FieldId::Dist, "1234.5678"));
    EXPECT_EQ(table_.state(), DataTable::State::Browse);
}

TEST_F(GridCommandsTest, UntouchedNewRowsDisappear) {
    add("T", "a");
    add("T", "b");
    add("T", "c");
    grid_.rowEntered(1);
    EXPECT_EQ(grid_.insertRow(), 1u);
    EXPECT_EQ(names(), (std::vector<std::string>{"a", "", "b", "c"}));
    // An editor opened and closed without a change keeps nothing alive.
    EXPECT_TRUE(grid_.setField(1, FieldId::Name, ""));
    // Moving to "c" (row 3) drops the new row; "c" is now row 2.
    EXPECT_EQ(grid_.rowEntered(3), 2u);
    EXPECT_EQ(names(), (std::vector<std::string>{"a", "b", "c"}));

    EXPECT_EQ(grid_.appendRow(), 3u);
    EXPECT_EQ(grid_.appendRow(), 3u);  // the down arrow on an untouched new last row adds no second one
    EXPECT_EQ(table_.rowCount(), 4u);
    EXPECT_TRUE(grid_.setField(3, FieldId::Name, "d"));
    EXPECT_EQ(grid_.appendRow(), 4u);
    grid_.cancelRow();
    EXPECT_EQ(names(), (std::vector<std::string>{"a", "b", "c", "d"}));
}

TEST_F(GridCommandsTest, DeleteAsksFirst) {
    EXPECT_FALSE(grid_.deleteCurrentRow());  // nothing to ask about
    EXPECT_TRUE(dialogs_.questions.empty());
    add("T", "a");
    add("F", "photo", 55.0, "/p/a.jpg");
    grid_.rowEntered(1);
    dialogs_.okCancelAnswers = {false, true};
    EXPECT_FALSE(grid_.deleteCurrentRow());
    EXPECT_EQ(table_.rowCount(), 2u);
    EXPECT_TRUE(grid_.deleteCurrentRow());
    EXPECT_EQ(names(), std::vector<std::string>{"a"});
    EXPECT_EQ(dialogs_.questions, (std::vector<std::string>{"Delete record?", "Delete record?"}));
}

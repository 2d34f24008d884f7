// What the tag writer does with photographs whose files changed between the
// scan and the write, with the real ExifTool.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "support/tabletagwrite.h"
#include "binding/calcpositions.h"
#include "input/photoscanner.h"
#include "output/exiftoolsession.h"
#include "runtime/keptprocess.h"
#include "runtime/processrunner.h"
#include "support/fakeconsole.h"
#include "support/fakedialogs.h"
#include "support/tempdir.h"
#include "table/datatable.h"
#include "support/language.h"

namespace geovanta {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

const std::string kExifTool = std::string(GEOVANTA_BIN_DIR) + "/exiftool";

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The latitude ExifTool reads back; empty when there is none.
std::string latitudeOf(const std::string& file) {
    const CommandResult r = RunCommand(kExifTool, {"-n", "-s3", "-GPSLatitude", "--", file});
    return r.outputLines.empty() ? "" : r.outputLines[0];
}

class TagFileChecksTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(kExifTool)) GTEST_SKIP() << "no exiftool beside the programs";
        ASSERT_EQ(std::system(("convert -size 32x24 xc:gray '" + scratch.file("base.jpg") + "'").c_str()), 0);
        fs::create_directory(folder());
    }
    std::string folder() const { return dir.file("photos"); }
    std::string photo(const std::string& name) const {
        const std::string path = folder() + "/" + name;
        fs::copy_file(scratch.file("base.jpg"), path);
        return path;
    }
    // Scans the folder and gives every photograph row of the table the
    // latitude 10 + its place, so that each write can be told from the others.
    void scanAndPlace() {
        ASSERT_TRUE(LoadFotos(table, folder()).ok());
        for (std::size_t row = 0; row < table.rowCount(); ++row) {
            table.setReal(row, FieldId::Lat, 10 + static_cast<double>(row));
            table.setReal(row, FieldId::Lon, 20);
        }
    }
    std::map<std::string, std::string> failuresByName(const TagWrite::Outcome& batch) const {
        std::map<std::string, std::string> byName;
        for (const std::string& line : batch.failures) {
            const std::size_t end = line.find("\": ");
            byName[fs::path(line.substr(1, end - 1)).filename().string()] = line.substr(end + 3);
        }
        return byName;
    }
    std::string latitudeOfRow(const std::string& fileName) const {
        for (std::size_t row = 0; row < table.rowCount(); ++row)
            if (table.text(row, FieldId::FileName) == fileName) return std::to_string(10 + row);
        return "no row";
    }

    test::TempDir dir, scratch;
    DataTable table;
    test::FakeConsole console;
    test::FakeDialogs dialogs;
    ExifToolSessions sessions{kExifTool, KeptProcess::maker()};
    TagWriter writer{sessions};
    test::TableTagWrite commands{table, console, writer};
};

// Each photograph is checked just before it is written: one that is no
// longer the file that was scanned, or is read-only, is reported and left as
// it is, and nothing else is touched.
TEST_F(TagFileChecksTest, ChangedFoldersTextFilesAndReadOnlyPhotosAreReportedAndLeftAlone) {
    const std::string same = photo("same.jpg");
    const std::string folderInstead = photo("folder.jpg");
    const std::string textInstead = photo("text.jpg");
    const std::string grown = photo("grown.jpg");
    const std::string touched = photo("touched.jpg");
    const std::string readOnly = photo("readonly.jpg");
    scanAndPlace();
    ASSERT_EQ(table.rowCount(), 6u);

    fs::remove(folderInstead);
    fs::create_directory(folderInstead);
    const std::string inside = folderInstead + "/inside.jpg";
    fs::copy_file(scratch.file("base.jpg"), inside);
    const std::string insideBefore = readFile(inside);
    std::ofstream(scratch.file("text")) << "no photograph";
    fs::rename(scratch.file("text"), textInstead);
    std::ofstream(grown, std::ios::app) << "more";
    fs::last_write_time(touched, fs::last_write_time(touched) - std::chrono::hours(1));
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    std::map<std::string, std::string> before;
    for (const auto& entry : fs::recursive_directory_iterator(folder()))
        if (entry.is_regular_file()) before[entry.path().string()] = readFile(entry.path().string());

    const auto batch = commands.writeAll();
    EXPECT_EQ(batch.written, 1);
    EXPECT_THAT(failuresByName(batch),
                UnorderedElementsAre(std::pair{"folder.jpg", "changed since it was loaded: a folder is in its place"},
                                     std::pair{"text.jpg", "changed since it was loaded"},
                                     std::pair{"grown.jpg", "changed since it was loaded"},
                                     std::pair{"touched.jpg", "changed since it was loaded"},
                                     std::pair{"readonly.jpg", "the file is read-only"}));
    EXPECT_EQ(latitudeOf(same), latitudeOfRow(same));
    EXPECT_EQ(readFile(inside), insideBefore);
    for (const auto& [file, bytes] : before) {
        if (file == same) continue;
        EXPECT_EQ(readFile(file), bytes) << file;
    }
    std::size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder())) files += entry.is_regular_file();
    EXPECT_EQ(files, before.size());

    // The popup's command reports the same, by name.
    for (std::size_t row = 0; row < table.rowCount(); ++row)
        if (table.text(row, FieldId::FileName) == readOnly) table.moveTo(row);
    commands.writeCurrentPhoto(dialogs);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Failure);
    EXPECT_EQ(dialogs.messages[0].text, "Cannot write the GPS tags of \"" + readOnly + "\": the file is read-only.");
}

// A symbolic link is written through to its target and stays a link; a link
// pointed at another file since the scan is not followed there.
TEST_F(TagFileChecksTest, LinksAreWrittenThroughAndStayLinks) {
    fs::create_directory(dir.file("elsewhere"));
    const std::string target = dir.file("elsewhere/target.jpg");
    const std::string other = dir.file("elsewhere/other.jpg");
    fs::copy_file(scratch.file("base.jpg"), target);
    fs::copy_file(scratch.file("base.jpg"), other);
    const std::string link = folder() + "/link.jpg";
    const std::string moved = folder() + "/moved.jpg";
    fs::create_symlink("../elsewhere/target.jpg", link);
    fs::create_symlink(target, moved);
    scanAndPlace();
    ASSERT_EQ(table.rowCount(), 2u);
    fs::remove(moved);
    fs::create_symlink(other, moved);
    const std::string otherBefore = readFile(other);

    const auto batch = commands.writeAll();
    EXPECT_EQ(batch.written, 1);
    EXPECT_THAT(failuresByName(batch),
                ElementsAre(std::pair{"moved.jpg", "changed since it was loaded"}));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), "../elsewhere/target.jpg");
    EXPECT_EQ(latitudeOf(target), latitudeOfRow(link));
    EXPECT_EQ(readFile(other), otherBefore);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("elsewhere")), fs::directory_iterator()), 2);
}

// ExifTool puts a new file in place of the one it writes: the table learns
// it, so that writing again, or a second row of the same file, is not taken
// for someone else's change.
TEST_F(TagFileChecksTest, OwnWritesAreNotTakenForChanges) {
    geovanta::test::LanguageScope russian(Language::Russian);
    const std::string file = photo("again.jpg");
    ASSERT_TRUE(LoadFotos(table, folder()).ok());
    scanAndPlace();  // the same photograph a second time
    ASSERT_EQ(table.rowCount(), 2u);
    auto batch = commands.writeAll();
    EXPECT_EQ(batch.written, 1);  // one file
    EXPECT_THAT(batch.failures, ::testing::IsEmpty());
    EXPECT_EQ(latitudeOf(file), "11");

    table.setReal(0, FieldId::Lat, 12);
    table.moveTo(0);
    commands.writeCurrentPhoto(dialogs);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Координаты записаны");
    EXPECT_EQ(latitudeOf(file), "12");
    batch = commands.writeAll();
    EXPECT_EQ(batch.written, 1);
    EXPECT_EQ(latitudeOf(file), "11");
}

// Two hard links to one photograph are one file: written once, and both
// names lead to the written file afterwards, still one file.
TEST_F(TagFileChecksTest, HardLinksAreOneFileWrittenOnce) {
    const std::string first = photo("a.jpg");
    const std::string second = folder() + "/b.jpg";
    fs::create_hard_link(first, second);
    scanAndPlace();
    ASSERT_EQ(table.rowCount(), 2u);
    const auto batch = commands.writeAll();
    EXPECT_EQ(batch.written, 1);
    EXPECT_THAT(batch.failures, ::testing::IsEmpty());
    EXPECT_TRUE(fs::equivalent(first, second));
    EXPECT_EQ(fs::hard_link_count(first), 2u);
    EXPECT_EQ(latitudeOf(first), latitudeOf(second));
    EXPECT_NE(latitudeOf(first), "");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder()), fs::directory_iterator()), 2);
    const auto& entries = console.infoEntries;
    EXPECT_EQ(std::count(entries.begin(), entries.end(),
                         std::vector<std::string>{"the same file as \"" + second + "\", written once"}) +
                  std::count(entries.begin(), entries.end(),
                             std::vector<std::string>{"the same file as \"" + first + "\", written once"}),
              1);
}

}  // namespace
}  // namespace geovanta

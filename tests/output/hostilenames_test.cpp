// Photographs whose names hold quotes, blanks, commas, line breaks, a leading
// dash or bytes that are not UTF-8, followed from the scan through the CSV
// table to ExifTool's argument list and the written files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "input/photoscanner.h"
#include "output/csvwriter.h"
#include "output/exiftoolsession.h"
#include "runtime/keptprocess.h"
#include "runtime/processrunner.h"
#include "support/tabletagwrite.h"
#include "support/fakeconsole.h"
#include "support/tempdir.h"
#include "table/datatable.h"
#include "table/textcodec.h"

namespace geovanta {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

const std::string kExifTool = std::string(GEOVANTA_BIN_DIR) + "/exiftool";

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Records of an RFC 4180 text: quoted fields may hold commas, quotes and line breaks.
std::vector<std::vector<std::string>> parseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> records(1);
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') field += '"', ++i;
            else if (c == '"') quoted = false;
            else field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            records.back().push_back(std::move(field));
            field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            records.back().push_back(std::move(field));
            field.clear();
            records.emplace_back();
            ++i;
        } else {
            field += c;
        }
    }
    records.pop_back();  // after the last line end
    return records;
}

// The photograph's GPS latitude as ExifTool reads it back, through a copy
// with a plain name so that the name itself cannot get in the way.
std::string latitudeOf(const std::string& file, const test::TempDir& scratch) {
    const std::string copy = scratch.file("readback.jpg");
    fs::copy_file(file, copy, fs::copy_options::overwrite_existing);
    const CommandResult r = RunCommand(kExifTool, {"-n", "-s3", "-GPSLatitude", "--", copy});
    return r.outputLines.empty() ? "" : r.outputLines[0];
}

const char* const kOddNames[] = {
    "my \"best\" shot.jpg", "  blanks around  .JPG", "comma,semicolon;.jpg", "line\nbreak.jpg",
    "carriage\rreturn.jpg", "-P -overwrite_original.jpg", "'single' $HOME `x`.jpg", "Фото.jpg",
};
const std::string kNotUtf8 = "bad\xFF\xFE name.jpg";
// Taken as Windows-1251, these bytes would read "яю.JPG": another file's name.
const std::string kBom = "\xFF\xFE.JPG";
const std::string kBomLookalike = "яю.JPG";

}  // namespace

TEST(HostileNames, ScanCsvAndTagWriterKeepEveryByteOfTheName) {
    if (!fs::exists(kExifTool)) GTEST_SKIP() << "no exiftool beside the programs";
    test::TempDir dir, scratch;
    const std::string base = scratch.file("base.jpg");
    ASSERT_EQ(std::system(("convert -size 32x24 xc:gray '" + base + "'").c_str()), 0);
    std::vector<std::string> names(std::begin(kOddNames), std::end(kOddNames));
    names.push_back(kNotUtf8);
    names.push_back(kBom);
    // The name the invalid bytes would turn into if they were replaced on the
    // way to ExifTool: it must never be written in their place.
    const std::string lookalike = "bad\xEF\xBF\xBD\xEF\xBF\xBD name.jpg";
    for (const std::string& n : names) fs::copy_file(base, dir.file(n));
    fs::copy_file(base, dir.file(lookalike));
    fs::copy_file(base, dir.file(kBomLookalike));
    const std::string lookalikeBefore = readFile(dir.file(lookalike));
    const std::string notUtf8Before = readFile(dir.file(kNotUtf8));
    const std::string bomLookalikeBefore = readFile(dir.file(kBomLookalike));

    DataTable table;
    ASSERT_TRUE(LoadFotos(table, dir.path().string()).ok());
    ASSERT_EQ(table.rowCount(), names.size() + 2);

    // Every row names its file byte for byte, and the CSV gives it back whole.
    std::ostringstream csv;
    CsvWriter::write(table, csv);
    EXPECT_TRUE(isValidUtf8(csv.str()));
    const auto records = parseCsv(csv.str());
    ASSERT_EQ(records.size(), table.rowCount() + 1);
    // Bytes that are not UTF-8 show as escapes in the grid and the CSV, and
    // in the messages that name the file.
    std::optional<std::size_t> bomRow;
    const auto untouched = [&](const std::string& fileName) {
        return fileName == dir.file(lookalike) || fileName == dir.file(kBomLookalike);
    };
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        const std::string fileName(table.text(row, FieldId::FileName));
        EXPECT_TRUE(fs::exists(fileName)) << fileName;
        ASSERT_EQ(records[row + 1].size(), 15u);
        EXPECT_EQ(records[row + 1][9], table.displayText(row, FieldId::FileName));
        EXPECT_EQ(records[row + 1][1], table.displayText(row, FieldId::Name));
        if (fileName == dir.file(kBom)) bomRow = row;
        if (!untouched(fileName)) table.setReal(row, FieldId::Lat, 10 + static_cast<double>(row));
        table.setReal(row, FieldId::Lon, 20);
    }
    ASSERT_TRUE(bomRow);
    EXPECT_EQ(table.displayText(*bomRow, FieldId::Name), "\\xFF\\xFE");
    EXPECT_EQ(table.displayText(*bomRow, FieldId::FileName), dir.folder() + "\\xFF\\xFE.JPG");
    EXPECT_EQ(TagWriter::failureLine(dir.file(kBom), "read-only"), "\"" + dir.folder() + "\\xFF\\xFE.JPG\": read-only");
    EXPECT_EQ((LeftOutFile{dir.file(kBom), "damaged"}).line(), dir.folder() + "\\xFF\\xFE.JPG: damaged");

    test::FakeConsole console;
    ExifToolSessions exifTool(kExifTool, KeptProcess::maker());
    TagWriter writerTool(exifTool);
    test::TableTagWrite writer(table, console, writerTool);
    for (std::size_t row = 0; row < table.rowCount(); ++row)
        EXPECT_EQ(TagWriter::arguments(table, row).back(), table.text(row, FieldId::FileName));
    const auto batch = writer.writeAll();

    // Every name reaches ExifTool byte for byte, the one that is not UTF-8
    // included, and the look-alike without a position is not touched.
    EXPECT_THAT(batch.failures, ::testing::IsEmpty());
    EXPECT_NE(readFile(dir.file(kNotUtf8)), notUtf8Before);
    EXPECT_EQ(readFile(dir.file(lookalike)), lookalikeBefore);
    EXPECT_EQ(readFile(dir.file(kBomLookalike)), bomLookalikeBefore);
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        const std::string fileName(table.text(row, FieldId::FileName));
        if (untouched(fileName)) continue;
        EXPECT_EQ(latitudeOf(fileName, scratch), std::to_string(10 + row)) << fileName;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()),
              static_cast<std::ptrdiff_t>(names.size() + 2));
}

}  // namespace geovanta

// Photographs whose names hold quotes, blanks, commas, line breaks, a leading
// dash or bytes that are not UTF-8, followed from the scan through the CSV
// table to ExifTool's argument list and the written files.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "input/photoscanner.h"
#include "output/csvwriter.h"
#include "runtime/processrunner.h"
#include "app/commands/tagcommands.h"
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

}  // namespace

TEST(HostileNames, ScanCsvAndTagWriterKeepEveryByteOfTheName) {
    if (!fs::exists(kExifTool)) GTEST_SKIP() << "no exiftool beside the programs";
    test::TempDir dir, scratch;
    const std::string base = scratch.file("base.jpg");
    ASSERT_EQ(std::system(("convert -size 32x24 xc:gray '" + base + "'").c_str()), 0);
    std::vector<std::string> names(std::begin(kOddNames), std::end(kOddNames));
    names.push_back(kNotUtf8);
    // The name the invalid bytes would turn into if they were replaced on the
    // way to ExifTool: it must never be written in their place.
    const std::string lookalike = "bad\xEF\xBF\xBD\xEF\xBF\xBD name.jpg";
    for (const std::string& n : names) fs::copy_file(base, dir.file(n));
    fs::copy_file(base, dir.file(lookalike));
    const std::string lookalikeBefore = readFile(dir.file(lookalike));
    const std::string notUtf8Before = readFile(dir.file(kNotUtf8));

    DataTable table;
    ASSERT_TRUE(LoadFotos(table, dir.path().string(), BindingParams{}).ok());
    ASSERT_EQ(table.rowCount(), names.size() + 1);

    // Every row names its file byte for byte, and the CSV gives it back whole.
    std::ostringstream csv;
    CsvWriter::write(table, csv);
    EXPECT_TRUE(isValidUtf8(csv.str()));
    const auto records = parseCsv(csv.str());
    ASSERT_EQ(records.size(), table.rowCount() + 1);
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        const std::string fileName(table.text(row, FieldId::FileName));
        EXPECT_TRUE(fs::exists(fileName)) << fileName;
        ASSERT_EQ(records[row + 1].size(), 14u);
        EXPECT_EQ(records[row + 1][9], displayUtf8(fileName));
        if (fileName != dir.file(lookalike)) table.setReal(row, FieldId::Lat, 10 + static_cast<double>(row));
        table.setReal(row, FieldId::Lon, 20);
    }

    test::FakeConsole console;
    ProcessRunner runner;
    TagWriter writerTool(runner, kExifTool);
    TagCommands writer(table, console, writerTool);
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        const auto args = TagWriter::arguments(table, row);
        ASSERT_GE(args.size(), 2u);
        EXPECT_EQ(args[args.size() - 2], "--");
        EXPECT_EQ(args.back(), table.text(row, FieldId::FileName));
    }
    const auto batch = writer.writeAll();

    // The name that cannot be handed over unchanged is refused, and neither it
    // nor its look-alike is touched; every other photograph is written.
    ASSERT_EQ(batch.failures.size(), 1u);
    EXPECT_THAT(batch.failures[0], HasSubstr("not valid UTF-8"));
    EXPECT_EQ(readFile(dir.file(kNotUtf8)), notUtf8Before);
    EXPECT_EQ(readFile(dir.file(lookalike)), lookalikeBefore);
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        const std::string fileName(table.text(row, FieldId::FileName));
        if (fileName == dir.file(lookalike) || fileName == dir.file(kNotUtf8)) continue;
        EXPECT_EQ(latitudeOf(fileName, scratch), std::to_string(10 + row)) << fileName;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()),
              static_cast<std::ptrdiff_t>(names.size() + 1));
}

}  // namespace geovanta

// The fraction of a second of the shooting time (Exif tag 0x9291), in files
// ExifTool wrote and in files built byte by byte for the rules around it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "input/exif.h"
#include "input/exiffixtures.h"
#include "input/exiftime.h"
#include "input/photoscanner.h"
#include "table/datatable.h"

using namespace geovanta;
using namespace geovanta::test;
namespace fs = std::filesystem;

namespace {

const fs::path kExifData = fs::path(GEOVANTA_TEST_DATA) / "exif";

// subsec.tsv: file and ExifTool's SubSecDateTimeOriginal, the shooting time
// with its fraction ("2010:12:01 11:15:00.25").
struct ToolMade {
    std::string file, dateTime;
    int fractionMs;
};

std::vector<ToolMade> toolMadeFiles() {
    std::vector<ToolMade> out;
    std::ifstream list(kExifData / "subsec.tsv");
    std::string line;
    while (std::getline(list, line)) {
        const std::size_t tab = line.find('\t'), dot = line.rfind('.');
        const std::string fraction = line.substr(dot + 1) + "00";
        out.push_back({line.substr(0, tab), line.substr(tab + 1, dot - tab - 1), std::stoi(fraction.substr(0, 3))});
    }
    return out;
}

uint16_t subSecondOf(const Bytes& tiff, bool raw) {
    TempDir dir;
    TExif exif;
    exif.ReadExif(dir.write(raw ? "a.nef" : "a.jpg", raw ? tiff : JpegBuilder().exif(tiff).startOfScan().build()));
    return exif.SubSecTimeOriginalMs;
}

}  // namespace

TEST(ExifSubSecond, ToolMadeJpegAndRawFiles) {
    const std::vector<ToolMade> files = toolMadeFiles();
    ASSERT_EQ(files.size(), 4u);
    TExif exif;
    for (const ToolMade& f : files) {
        SCOPED_TRACE(f.file);
        exif.ReadExif((kExifData.parent_path() / f.file).string());
        EXPECT_EQ(exif.DateTimeOriginal, f.dateTime);
        EXPECT_EQ(exif.SubSecTimeOriginalMs, f.fractionMs);
    }
    exif.ReadExif((kExifData / "le.jpg").string());
    EXPECT_EQ(exif.SubSecTimeOriginalMs, 0) << "no fraction carries over to a file without one";
}

TEST(ExifSubSecond, Rules) {
    struct Case {
        const char* what;
        uint16_t type;
        uint32_t count;
        std::string text;  // in the value field for counts up to 4, else behind it
        uint16_t ms;
    };
    const Case cases[] = {
        {"two digits", 2, 3, "25", 250},
        {"one digit", 2, 2, "5", 500},
        {"three digits filling the field", 2, 4, "123", 123},
        {"more digits than milliseconds", 2, 7, "123456", 123},
        {"leading zeros", 2, 5, "0987", 98},
        {"count without the final zero", 2, 2, "75", 750},
        {"trailing blanks", 2, 4, "5  ", 500},
        {"undefined bytes", 7, 3, "25", 250},
        {"empty", 2, 1, "", 0},
        {"blanks only", 2, 4, "   ", 0},
        {"a letter", 2, 4, "12a", 0},
        {"a leading blank", 2, 4, " 25", 0},
        {"a sign", 2, 4, "-25", 0},
        {"a point", 2, 5, ".250", 0},
        {"not text", 3, 1, "25", 0},
    };
    for (const bool mm : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(mm ? "MM " : "II ") + c.what);
            TiffBuilder t(mm);
            t.ascii(TiffBuilder::Exif, 0x9003, "2010:12:01 11:15:00");
            Bytes bytes(c.text.begin(), c.text.end());
            bytes.resize(std::max<std::size_t>(c.count, 4), 0);
            if (c.count <= 4)
                t.inlineField(TiffBuilder::Exif, 0x9291, c.type, c.count, bytes);
            else
                t.data(TiffBuilder::Exif, 0x9291, c.type, c.count, bytes);
            EXPECT_EQ(subSecondOf(t.build(), false), c.ms);
            EXPECT_EQ(subSecondOf(t.build(), true), c.ms);
        }
    }
    // Only the Exif sub-directory holds it, and its last entry counts.
    TiffBuilder ifd0(false);
    ifd0.ascii(TiffBuilder::Exif, 0x9003, "2010:12:01 11:15:00")
        .inlineField(TiffBuilder::Ifd0, 0x9291, 2, 3, textBytes(std::string("25\0\0", 4)));
    EXPECT_EQ(subSecondOf(ifd0.build(), false), 0);
    TiffBuilder twice(true);
    twice.inlineField(TiffBuilder::Exif, 0x9291, 2, 3, textBytes(std::string("25\0\0", 4)))
        .inlineField(TiffBuilder::Exif, 0x9291, 2, 2, textBytes(std::string("7\0\0\0", 4)));
    EXPECT_EQ(subSecondOf(twice.build(), false), 700);
}

TEST(ExifSubSecond, ScannerTakesTheFractionIntoTheShootingTime) {
    TempDir dir;
    const std::vector<ToolMade> files = toolMadeFiles();
    for (const ToolMade& f : files)
        fs::copy_file(kExifData.parent_path() / f.file, dir.path() / fs::path(f.file).filename());
    fs::copy_file(kExifData / "le.jpg", dir.path() / "whole.jpg");
    DataTable table;
    ASSERT_TRUE(LoadFotos(table, dir.folder()).ok());
    ASSERT_EQ(table.rowCount(), files.size() + 1);
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        const std::string name(table.text(row, FieldId::Name));
        SCOPED_TRACE(name);
        int64_t expected = *exifShootingTimeMs("2010:12:01 11:15:00", 2026);
        for (const ToolMade& f : files)
            if (fs::path(f.file).stem() == name) expected = *exifShootingTimeMs(f.dateTime, 2026) + f.fractionMs;
        EXPECT_EQ(table.timeMs(row, FieldId::Time), expected);
    }
}

#include "input/exif.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "input/exiffixtures.h"

using namespace geovanta;
using namespace geovanta::test;

namespace {

constexpr const char* kDate = "2010:07:14 15:32:10";

TiffBuilder cameraTiff(bool motorola) {
    TiffBuilder t(motorola);
    t.ascii(TiffBuilder::Ifd0, 0x010F, "NIKON CORPORATION")
        .ascii(TiffBuilder::Ifd0, 0x0110, "NIKON D70")
        .shortValue(TiffBuilder::Ifd0, 0x0112, 6)
        .rational(TiffBuilder::Ifd0, 0x011A, 300, 1)
        .ascii(TiffBuilder::Ifd0, 0x0132, "2010:07:15 10:00:00")
        .rational(TiffBuilder::Exif, 0x829A, 1, 125)
        .rational(TiffBuilder::Exif, 0x829D, 28, 10)
        .shortValue(TiffBuilder::Exif, 0x8827, 400)
        .ascii(TiffBuilder::Exif, 0x9003, kDate)
        .longValue(TiffBuilder::Exif, 0xA002, 3008)
        .longValue(TiffBuilder::Exif, 0xA003, 2000);
    return t;
}

struct Read {
    TempDir dir;
    TExif exif;
    std::string error;
    explicit Read(const Bytes& bytes, const std::string& name = "a.jpg") {
        const std::string path = dir.write(name, bytes);
        try {
            exif.ReadExif(path);
        } catch (const ExifError& e) {
            error = e.what();
        }
    }
};

}  // namespace

TEST(Exif, CameraJpegInBothByteOrders) {
    for (const bool mm : {false, true}) {
        SCOPED_TRACE(mm ? "MM" : "II");
        TiffBuilder t = cameraTiff(mm);
        t.ascii(TiffBuilder::Exif, 0x9011, "+03:00").ascii(TiffBuilder::Exif, 0x9010, "-05:00");
        Read r(JpegBuilder().exif(t.build()).startOfScan().build());
        ASSERT_EQ(r.error, "");
        EXPECT_TRUE(r.exif.ExifFound);
        EXPECT_EQ(r.exif.DateTimeOriginal, kDate);  // not IFD0's date-time
        EXPECT_EQ(r.exif.TimeZoneOffsetMinutes, 180);
    }
}

// OffsetTimeOriginal, else OffsetTime; each must be a zone.
TEST(Exif, TimeZoneOffsets) {
    struct Case {
        std::optional<std::string> original, plain;
        std::optional<int> minutes;
    };
    const Case cases[] = {
        {"+03:00", {}, 180},       {"-09:30", "+01:00", -570}, {{}, "+05:45", 345},
        {"+14:00", {}, 840},       {"-12:00", {}, -720},       {"+14:01", "+02:00", 120},
        {"+15:00", {}, {}},        {"+03:60", {}, {}},         {"03:00", {}, {}},
        {"+3:00", {}, {}},         {"+03-00", {}, {}},         {"   :  ", {}, {}},
        {"+0a:00", {}, {}},        {"+-1:00", {}, {}},         {{}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.original.value_or("none") + " / " + c.plain.value_or("none"));
        TiffBuilder t(false);
        t.ascii(TiffBuilder::Exif, 0x9003, kDate);
        if (c.original) t.ascii(TiffBuilder::Exif, 0x9011, *c.original);
        if (c.plain) t.ascii(TiffBuilder::Exif, 0x9010, *c.plain);
        Read r(JpegBuilder().exif(t.build()).build());
        EXPECT_EQ(r.error, "");
        EXPECT_EQ(r.exif.TimeZoneOffsetMinutes, c.minutes);
    }
}

TEST(Exif, FindsTheExifSegmentWhereverTheChainPutsIt) {
    const Bytes tiff = cameraTiff(false).build();
    struct Case {
        const char* what;
        Bytes file;
    };
    const Case cases[] = {
        {"after a 16-byte APP0 at offset 20", JpegBuilder().app0().exif(tiff).startOfScan().build()},
        {"after a longer APP0, at an even offset", JpegBuilder().app0(17).exif(tiff).startOfScan().build()},
        {"after an odd-length comment and an ICC segment",
         JpegBuilder().app0().comment("hello").segment(0xE2, Bytes(600, 7)).exif(tiff).startOfScan().build()},
        {"after an XMP segment", JpegBuilder().app0().xmp(3000).exif(tiff).startOfScan().build()},
        {"after quantisation tables and fill bytes",
         JpegBuilder().segment(0xDB, Bytes(65, 1)).raw({0xFF, 0xFF}).exif(tiff).startOfScan().build()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Read r(c.file);
        EXPECT_EQ(r.error, "");
        EXPECT_TRUE(r.exif.ExifFound);
        EXPECT_EQ(r.exif.DateTimeOriginal, kDate);
    }
}

TEST(Exif, JpegsWithoutExifReadCleanly) {
    const Bytes tiff = cameraTiff(false).build();
    struct Case {
        const char* what;
        Bytes file;
    };
    const Case cases[] = {
        {"no APP1 at all, odd byte count", JpegBuilder().app0().comment("x").startOfScan().raw({0}).build()},
        {"XMP only", JpegBuilder().xmp(100).startOfScan().build()},
        {"EXIF-looking bytes only inside the image data",
         JpegBuilder().app0().startOfScan().exif(tiff).build()},
        {"a chain that breaks", JpegBuilder().app0().raw({0x12, 0x34, 0xFF, 0xE1}).raw(Bytes(16, 0)).build()},
        {"a segment length running past the end",
         JpegBuilder().app0().raw({0xFF, 0xFE, 0x40, 0x00}).raw(Bytes(16, 0)).build()},
        {"a zero segment length", JpegBuilder().app0().raw({0xFF, 0xFE, 0x00, 0x00}).raw(Bytes(16, 0)).build()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Read r(c.file);
        EXPECT_EQ(r.error, "");
        EXPECT_FALSE(r.exif.ExifFound);
        EXPECT_EQ(r.exif.DateTimeOriginal, "");
    }
    // Thousands of tiny segments end the search without reading them all.
    JpegBuilder many;
    for (int k = 0; k < 6000; ++k) many.comment("");
    Read r(many.exif(tiff).build());
    EXPECT_EQ(r.error, "");
    EXPECT_FALSE(r.exif.ExifFound);
}

TEST(Exif, RawFilesWalkTheirTiffStructure) {
    for (const bool mm : {false, true}) {
        SCOPED_TRACE(mm ? "MM" : "II");
        Read r(cameraTiff(mm).build(), "a.nef");
        EXPECT_EQ(r.error, "");
        EXPECT_TRUE(r.exif.ExifFound);
        EXPECT_EQ(r.exif.DateTimeOriginal, kDate);
    }

    // An "MM" file whose walk finds no date keeps the old fixed place, 372.
    TiffBuilder noDate(true);
    noDate.ascii(TiffBuilder::Ifd0, 0x0110, "E5700");
    Bytes file = noDate.build();
    file.resize(372, 0);
    for (char c : std::string("2004:01:02 03:04:05   \0junk", 27)) file.push_back(uint8_t(c));
    Read fallback(file, "b.nef");
    EXPECT_EQ(fallback.exif.DateTimeOriginal, "2004:01:02 03:04:05");

    // Whatever else lies there is no date.
    Bytes junk = noDate.build();
    junk.resize(372, 0);
    for (char c : std::string(":02:20 08:07:49 xyz")) junk.push_back(uint8_t(c));
    EXPECT_EQ(Read(junk, "j.nef").exif.DateTimeOriginal, "");

    // An "II" file has no such place.
    TiffBuilder leNoDate(false);
    leNoDate.ascii(TiffBuilder::Ifd0, 0x0110, "E5700");
    Bytes leFile = leNoDate.build();
    leFile.resize(372, 0);
    for (char c : std::string("2004:01:02 03:04:05")) leFile.push_back(uint8_t(c));
    EXPECT_EQ(Read(leFile, "c.nef").exif.DateTimeOriginal, "");

    // Another maker's layout behind "II" or "MM" is no error; a TIFF cut
    // short is, as a JPEG's EXIF data cut short is.
    const std::pair<Bytes, std::string> layouts[] = {
        {{'I', 'I', 0x1A, 0, 0, 0, 'H', 'E', 'A', 'P', 'C'}, ""},  // no TIFF magic number
        {{'M', 'M'}, ""},                                          // too short for one
        {{'M', 'M', 0, 42, 0x7F, 0, 0, 0}, readBeyondEndMessage()},  // IFD0 far beyond the end
        {{'I', 'I', 'U', 0, 0x18, 0, 0, 0}, readBeyondEndMessage()},  // Panasonic's magic number
        {{'I', 'I', 'R', 'O', 8, 0, 0, 0, 5, 0}, readBeyondEndMessage()},  // Olympus's, entries cut off
    };
    for (const auto& [bytes, error] : layouts) {
        Read r(bytes, "d.nef");
        EXPECT_EQ(r.error, error);
        EXPECT_TRUE(r.exif.ExifFound);
        EXPECT_EQ(r.exif.DateTimeOriginal, "");
    }
}

TEST(Exif, DirectoryRules) {
    // IFD0 at offset 26, with its count left 0: entries are read until tag 0.
    TiffBuilder t(false);
    t.ifd0Offset(26).ifd0Count(0).ascii(TiffBuilder::Ifd0, 0x010F, "Maker").ascii(TiffBuilder::Exif, 0x9003, kDate);
    Read r(JpegBuilder().exif(t.build()).startOfScan().build());
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.exif.DateTimeOriginal, kDate);

    // A tag counts only in its own directory; a repeated tag takes the later value.
    TiffBuilder wrong(true);
    wrong.ascii(TiffBuilder::Ifd0, 0x9003, kDate).ascii(TiffBuilder::Ifd0, 0x9011, "+03:00");
    Read w(JpegBuilder().exif(wrong.build()).build());
    EXPECT_TRUE(w.exif.ExifFound);
    EXPECT_EQ(w.exif.DateTimeOriginal, "");
    EXPECT_EQ(w.exif.TimeZoneOffsetMinutes, std::nullopt);
    TiffBuilder twice(true);
    twice.ascii(TiffBuilder::Exif, 0x9003, "2001:01:01 00:00:00").ascii(TiffBuilder::Exif, 0x9003, kDate);
    EXPECT_EQ(Read(JpegBuilder().exif(twice.build()).build()).exif.DateTimeOriginal, kDate);
}

TEST(Exif, DateTextValues) {
    struct Case {
        const char* what;
        std::string text;
        uint32_t count;
        const char* expected;
    };
    const Case cases[] = {
        {"no zero byte within the count", "2010:07:14 15:32:10X", 20, kDate},
        {"trailing blanks and controls", "2010:07:14 15:32:10 \t\r\n  ", 26, kDate},
        {"a count of one", "2010", 1, "2"},
        {"a count of zero", "2010", 0, ""},
        {"a count far past the zero byte", kDate, 4'000'000'000u, kDate},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TiffBuilder t(false);
        t.ascii(TiffBuilder::Exif, 0x9003, c.text, c.count);
        Read r(JpegBuilder().exif(t.build()).build());
        EXPECT_EQ(r.error, "");
        EXPECT_EQ(r.exif.DateTimeOriginal, c.expected);
    }
}

TEST(Exif, DamagedJpegsRaiseTheReadError) {
    const Bytes tiff = cameraTiff(false).build();
    Bytes truncated = JpegBuilder().exif(tiff).build();
    truncated.resize(2 + 10 + 8 + 2 + 12 * 3);  // cut inside IFD0's entries
    TiffBuilder farIfd(true);
    farIfd.ifd0Offset(0x10000);
    Bytes farFile = JpegBuilder().exif(farIfd.build()).build();
    farFile.resize(200);
    const Bytes cases[] = {
        truncated,
        farFile,
        {0xFF, 0xD8, 0xFF, 0xE1, 0x00},          // a head cut short
        {0xFF, 0xD8, 0xFF, 0xE1, 0, 8, 'E', 'x', 'i', 'f', 0, 0, 'I', 'I'},  // no room for the TIFF header
        {0xFF},
    };
    for (const Bytes& c : cases) {
        Read r(c);
        EXPECT_EQ(r.error, readBeyondEndMessage());
    }
    // Fields filled before the error stay.
    EXPECT_TRUE(Read(truncated).exif.ExifFound);
}

TEST(Exif, EachCallStartsAfresh) {
    TempDir dir;
    const std::string good = dir.write("good.jpg", JpegBuilder().exif(cameraTiff(false).build()).build());
    const std::string notJpeg = dir.write("notes.jpg", textBytes("plain text"));
    std::filesystem::create_directory(dir.path() / "Old.JPG");
    TExif exif;
    for (const std::string& other : {dir.folder() + "missing.jpg", dir.folder() + "Old.JPG", notJpeg}) {
        SCOPED_TRACE(other);
        exif.ReadExif(good);
        ASSERT_EQ(exif.DateTimeOriginal, kDate);
        exif.ReadExif(other);
        EXPECT_FALSE(exif.ExifFound);
        EXPECT_EQ(exif.DateTimeOriginal, "");
    }
    EXPECT_GT(exif.bytesRead(), 0u);
    EXPECT_LT(exif.bytesRead(), 3u * 1024);
}

// Images written by ImageMagick and tagged by ExifTool, against ExifTool's reading.
TEST(Exif, AgreesWithExifToolOnToolMadeFiles) {
    std::ifstream list(std::string(GEOVANTA_TEST_DATA) + "/exif/expected.tsv");
    ASSERT_TRUE(list) << "tests/data/exif/expected.tsv is missing";
    std::string line;
    int files = 0;
    while (std::getline(list, line)) {
        const std::size_t tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        const std::string name = line.substr(0, tab), expected = line.substr(tab + 1);
        SCOPED_TRACE(name);
        TExif exif;
        ASSERT_NO_THROW(exif.ReadExif(std::string(GEOVANTA_TEST_DATA) + "/" + name));
        EXPECT_EQ(exif.DateTimeOriginal, expected);
        EXPECT_EQ(exif.ExifFound, !expected.empty());
        ++files;
    }
    EXPECT_GE(files, 6);
}

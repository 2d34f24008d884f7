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
        Read r(JpegBuilder().exif(cameraTiff(mm).build()).startOfScan().build());
        ASSERT_EQ(r.error, "");
        EXPECT_TRUE(r.exif.ExifFound);
        EXPECT_EQ(r.exif.DateTimeOriginal, kDate);
        EXPECT_EQ(r.exif.DateTime, "2010:07:15 10:00:00");
        EXPECT_EQ(r.exif.Make, "NIKON CORPORATION");
        EXPECT_EQ(r.exif.Model, "NIKON D70");
        EXPECT_EQ(r.exif.Orientation, 6);
        EXPECT_EQ(r.exif.OrientationText, "Rotated 90 right");
        EXPECT_EQ(r.exif.XResolution, 300u);
        EXPECT_EQ(r.exif.ExposureTime, "1/125 seconds");
        EXPECT_EQ(r.exif.FNumber, "2.8");
        EXPECT_EQ(r.exif.ISOSpeedRatings, 400);
        EXPECT_EQ(r.exif.PixelXDimension, 3008u);
        EXPECT_EQ(r.exif.PixelYDimension, 2000u);
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
        EXPECT_EQ(r.exif.Model, "NIKON D70");
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

    // A damaged or foreign layout is no error for a raw file.
    const Bytes damaged[] = {
        {'M', 'M', 0, 42, 0x7F, 0, 0, 0},                   // IFD0 far beyond the end
        {'I', 'I', 0x1A, 0, 0, 0, 'H', 'E', 'A', 'P', 'C'},  // another maker's layout
        {'M', 'M'},                                          // too short for anything
    };
    for (const Bytes& d : damaged) {
        Read r(d, "d.nef");
        EXPECT_EQ(r.error, "");
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
    EXPECT_EQ(r.exif.Make, "Maker");
    EXPECT_EQ(r.exif.DateTimeOriginal, kDate);

    // A tag counts only in its own directory; a repeated tag takes the later value.
    TiffBuilder wrong(true);
    wrong.ascii(TiffBuilder::Ifd0, 0x9003, kDate)
        .ascii(TiffBuilder::Exif, 0x010F, "Maker")
        .ascii(TiffBuilder::Exif, 0x9004, "first")
        .ascii(TiffBuilder::Exif, 0x9004, "second");
    Read w(JpegBuilder().exif(wrong.build()).build());
    EXPECT_TRUE(w.exif.ExifFound);
    EXPECT_EQ(w.exif.DateTimeOriginal, "");
    EXPECT_EQ(w.exif.Make, "");
    EXPECT_EQ(w.exif.DateTimeDigitized, "second");
}

TEST(Exif, TextValues) {
    TiffBuilder t(false);
    Bytes comment{'A', 'S', 'C', 'I', 'I', 0, 0, 0, 'h', 'i'};
    t.ascii(TiffBuilder::Ifd0, 0x010E, "twenty characters!!X", 20)  // no zero byte within the count
        .ascii(TiffBuilder::Ifd0, 0x0131, "Software 1.0 \t\r\n  ")
        .ascii(TiffBuilder::Ifd0, 0x013B, "Zed", 1)
        .data(TiffBuilder::Exif, 0x9286, 7, static_cast<uint32_t>(comment.size()), comment)
        .data(TiffBuilder::Ifd0, 0x8298, 2, 200000, Bytes(70000, 'c'))
        .pointing(TiffBuilder::Ifd0, 0x0110, 2, 40, 0xFFFFFFF0u);
    Read r(JpegBuilder().exif(t.build()).build());
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.exif.ImageDescription, "twenty characters!!");
    EXPECT_EQ(r.exif.Software, "Software 1.0");
    EXPECT_EQ(r.exif.Artist, "Z");
    EXPECT_EQ(r.exif.UserComment, "ASCII");
    EXPECT_EQ(r.exif.RightsNotice, std::string(TExif::kMaxTextLength, 'c'));
    EXPECT_EQ(r.exif.Model, "");

    // A text running past the end of the file is dropped whole.
    TiffBuilder cut(true);
    cut.pointing(TiffBuilder::Ifd0, 0x010F, 2, 100, 0).tail(textBytes("partial"));
    const auto at = static_cast<uint32_t>(cut.tailOffset());
    TiffBuilder cutAt(true);
    cutAt.pointing(TiffBuilder::Ifd0, 0x010F, 2, 100, at).tail(textBytes("partial"));
    Bytes file = JpegBuilder().exif(cutAt.build()).build();
    Read c(file);
    EXPECT_EQ(c.error, "");
    EXPECT_EQ(c.exif.Make, "");
}

TEST(Exif, NumbersAndNames) {
    struct Case {
        uint32_t exposureNum, exposureDen, fNum, fDen, tvNum, tvDen;
        uint16_t program, metering, light, flash;
        const char *exposure, *fnumber, *shutter, *programText, *meteringText, *lightText, *flashText;
    };
    const Case cases[] = {
        {1, 125, 28, 10, 7, 1, 2, 5, 4, 16, "1/125 seconds", "2.8", "1/128 seconds", "Normal Program", "Pattern",
         "Unknown", "No Flash"},
        {10, 1, 4, 1, 5, 1, 9, 255, 10, 25, "10/1 seconds", "4.0", "1/32 seconds", "Unknown", "Other", "Flash",
         "Flash (Auto)"},
        {33, 1000000, 0, 0, 0xFFFFFFFFu, 1, 0, 7, 21, 7, "0 seconds", "", "1 seconds", "Unknown", "Unknown", "D65",
         "Flash Strobe"},
        {5, 0, 57, 20, 0, 0, 8, 0, 255, 5, "5/0 seconds", "2.85", "1/1 seconds", "Landscape Mode", "Unknown", "Other",
         "Flash No Strobe"},
        {0, 1000, 0, 1, 20000, 1, 1, 2, 2, 1, "0/1000 seconds", "0.0", "", "Manual Control", "Center Weighted Average",
         "Flourescent", "Flash"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.exposure);
        for (const bool mm : {false, true}) {
            TiffBuilder t(mm);
            t.rational(TiffBuilder::Exif, 0x829A, c.exposureNum, c.exposureDen)
                .rational(TiffBuilder::Exif, 0x829D, c.fNum, c.fDen)
                .rational(TiffBuilder::Exif, 0x9201, c.tvNum, c.tvDen, 10)
                .shortValue(TiffBuilder::Exif, 0x8822, c.program)
                .shortValue(TiffBuilder::Exif, 0x9207, c.metering)
                .shortValue(TiffBuilder::Exif, 0x9208, c.light)
                .shortValue(TiffBuilder::Exif, 0x9209, c.flash);
            Read r(JpegBuilder().exif(t.build()).build());
            EXPECT_EQ(r.error, "");
            EXPECT_EQ(r.exif.ExposureTime, c.exposure);
            EXPECT_EQ(r.exif.FNumber, c.fnumber);
            EXPECT_EQ(r.exif.ShutterSpeed, c.shutter);
            EXPECT_EQ(r.exif.ExposureProgramText, c.programText);
            EXPECT_EQ(r.exif.MeteringModeText, c.meteringText);
            EXPECT_EQ(r.exif.LightSourceText, c.lightText);
            EXPECT_EQ(r.exif.FlashText, c.flashText);
            EXPECT_EQ(r.exif.MeteringMode, static_cast<uint8_t>(c.metering));
        }
    }

    // Unreadable values: the field gives way, the walk goes on.
    TiffBuilder t(false);
    t.pointing(TiffBuilder::Exif, 0x829A, 5, 1, 0x7FFFFFF0u)
        .pointing(TiffBuilder::Exif, 0x9201, 10, 1, 0x70000000u)
        .pointing(TiffBuilder::Exif, 0x9202, 5, 1, 0xFFFFFFF0u)
        .pointing(TiffBuilder::Ifd0, 0x011B, 5, 1, 0x7FFFFFF0u)
        .ascii(TiffBuilder::Exif, 0x9003, kDate);
    Read r(JpegBuilder().exif(t.build()).build());
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.exif.ExposureTime, " seconds");
    EXPECT_EQ(r.exif.ShutterSpeed, "1/1 seconds");
    EXPECT_EQ(r.exif.ApertureValue, "");
    EXPECT_EQ(r.exif.YResolution, 0u);
    EXPECT_EQ(r.exif.DateTimeOriginal, kDate);
}

TEST(Exif, OrientationNamesAndByteRules) {
    const std::pair<uint16_t, const char*> orientations[] = {
        {1, "Normal"}, {5, "Rotated 90 left, mirrored"}, {8, "Rotated 90 left"}, {9, "Unknown"}, {0, "Unknown"}};
    for (const auto& [code, name] : orientations) {
        TiffBuilder t(true);
        t.shortValue(TiffBuilder::Ifd0, 0x0112, code);
        Read r(JpegBuilder().exif(t.build()).build());
        EXPECT_EQ(r.exif.Orientation, code);
        EXPECT_EQ(r.exif.OrientationText, name);
    }
    // SHORT values keep their low byte only, except the ISO speed; a LONG is
    // taken whole.
    for (const bool mm : {false, true}) {
        TiffBuilder t(mm);
        t.shortValue(TiffBuilder::Exif, 0x8827, 3200)
            .shortValue(TiffBuilder::Exif, 0xA002, 640)
            .longValue(TiffBuilder::Exif, 0xA003, 480);
        Read r(JpegBuilder().exif(t.build()).build());
        EXPECT_EQ(r.exif.ISOSpeedRatings, 3200);
        EXPECT_EQ(r.exif.PixelXDimension, 640u & 0xFF);
        EXPECT_EQ(r.exif.PixelYDimension, 480u);
    }
    EXPECT_EQ(SwapLong(0x12345678u), 0x78563412u);
    EXPECT_EQ(SwapLong(SwapLong(0xA1B2C3D4u)), 0xA1B2C3D4u);
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
        EXPECT_EQ(r.error, kReadBeyondEndOfFile);
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
        EXPECT_EQ(exif.Make, "");
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
    TExif be;
    be.ReadExif(std::string(GEOVANTA_TEST_DATA) + "/exif/be.jpg");
    EXPECT_EQ(be.Orientation, 6);
    EXPECT_EQ(be.ISOSpeedRatings, 400);
    EXPECT_EQ(be.ExposureTime, "1/60 seconds");
}

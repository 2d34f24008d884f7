// Every container, its shooting time, body serial and GPS tags written by
// the real ExifTool into a copy of a corpus sample, read back by the reader.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "input/exif.h"
#include "support/spawnprogram.h"
#include "support/tempdir.h"
#include "table/datetime.h"

namespace fs = std::filesystem;
using namespace geovanta;
using geovanta::test::exifTool;
using geovanta::test::runProgram;

TEST(ExifToolFormats, WrittenByExifToolReadBack) {
    const std::string images = std::string(GEOVANTA_SHARED_DIR) + "/corpus/images/";
    if (!fs::is_directory(images)) GTEST_SKIP() << "no corpus at " << images;
    if (runProgram({exifTool(), "-ver"}) != 0) GTEST_SKIP() << "no exiftool";
    struct Case {
        const char* sample;
        bool exifTags;  // false: a CRW file, whose own records hold the date alone
        const char* model;
    };
    const Case cases[] = {
        {"ianare__Canon_40D.jpg", true, "Canon EOS 40D"},
        {"exiftool__CanonRaw.cr2", true, "Canon EOS 350D DIGITAL"},
        {"exiftool__DNG.dng", true, "Canon EOS 350D DIGITAL"},
        {"exiftool__Panasonic.rw2", true, "DMC-LX3"},
        {"exiftool__PhaseOne.iiq", true, "Credo 40"},
        {"exiftool__FujiFilm.raf", true, "FinePix S5Pro"},
        {"exiftool__CanonRaw.cr3", true, "Canon EOS M50"},
        {"mei__Issue_263_dotnet.heic", true, "iPhone XR"},
        {"exiftool__QuickTime.heic", true, ""},  // ExifTool adds an Exif item
        {"exiv2__exiv2-canon-powershot-s40.crw", false, "Canon PowerShot S40"},
    };
    geovanta::test::TempDir dir;
    std::vector<std::string> write = {exifTool(), "-q", "-overwrite_original", "-DateTimeOriginal=2021:06:15 10:20:30",
                                      "-SubSecTimeOriginal=456", "-OffsetTimeOriginal=+05:30",
                                      // ExifTool's SerialNumber is EXIF's BodySerialNumber.
                                      "-SerialNumber=004242", "-GPSLatitude=33.5", "-GPSLatitudeRef=S",
                                      "-GPSLongitude=151.25", "-GPSLongitudeRef=E", "-GPSAltitude=12.5",
                                      "-GPSAltitudeRef#=1", "-GPSDateStamp=2021:06:14", "-GPSTimeStamp=23:50:30.25"};
    for (const Case& c : cases) {
        const std::string copy = dir.file(c.sample);
        fs::copy_file(images + c.sample, copy);
        fs::permissions(copy, fs::perms::owner_write, fs::perm_options::add);
        write.push_back(copy);
    }
    ASSERT_EQ(runProgram(write), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sample);
        TExif exif;
        ASSERT_NO_THROW(exif.ReadExif(dir.file(c.sample)));
        EXPECT_EQ(exif.DateTimeOriginal, "2021:06:15 10:20:30");
        EXPECT_EQ(exif.SubSecTimeOriginalMs, c.exifTags ? 456 : 0);
        EXPECT_EQ(exif.TimeZoneOffsetMinutes, c.exifTags ? std::optional<int>(330) : std::nullopt);
        EXPECT_EQ(exif.Camera.model, c.model);
        EXPECT_EQ(exif.Camera.serial, c.exifTags ? "004242" : "");
        const PhotoGps written{-33.5, 151.25, -12.5, *civilToMs({2021, 6, 14, 23, 50, 30, 250})};
        EXPECT_EQ(exif.GpsPosition, c.exifTags ? std::optional(written) : std::nullopt);
    }
}

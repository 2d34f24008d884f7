// geovanta-cli over a trip folder of mixed cameras (HEIC, CR3 and JPEG
// copies of corpus samples): positions into XMP files beside them, then into
// the files themselves with their own time zones, read back by ExifTool.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/exiftooltags.h"
#include "support/runcli.h"
#include "support/tempdir.h"

namespace geovanta {
namespace {

namespace fs = std::filesystem;
using test::number;
using test::readTags;

// Two points two minutes apart around 10:00 UTC on 1 May 2024.
constexpr const char* kTrack = R"(<?xml version="1.0"?>
<gpx version="1.1" creator="test" xmlns="http://www.topografix.com/GPX/1/1">
 <trk><trkseg>
  <trkpt lat="55.0" lon="37.0"><ele>100</ele><time>2024-05-01T09:59:00Z</time></trkpt>
  <trkpt lat="55.2" lon="37.2"><ele>100</ele><time>2024-05-01T10:01:00Z</time></trkpt>
 </trkseg></trk>
</gpx>
)";

TEST(CameraFormatsCli, MixedFolderIntoXmpFilesAndIntoTheFilesByTheirZones) {
    const std::string images = std::string(GEOVANTA_SHARED_DIR) + "/corpus/images/";
    if (!fs::is_directory(images)) GTEST_SKIP() << "no corpus at " << images;
    if (!fs::exists(test::kExifTool)) GTEST_SKIP() << "no exiftool beside the programs";
    test::TempDir dir;
    dir.write("track.gpx", kTrack);
    fs::create_directories(dir.file("trip/sub"));
    struct Photo {
        const char* sample;
        const char* copy;
        const char* local;  // the camera's clock at 10:00 UTC, and its zone ("" for none)
        const char* zone;
    };
    const Photo photos[] = {
        {"mei__IMG_1034.heic", "trip/IMG_0001.HEIC", "06:00:00", "-04:00"},
        {"exiftool__CanonRaw.cr3", "trip/sub/IMG_0002.CR3", "13:00:00", "+03:00"},
        {"ianare__Canon_40D.jpg", "trip/IMG_0003.JPG", "10:00:00", ""},
    };
    std::vector<std::string> clearFractions = {"-q", "-overwrite_original", "-SubSecTimeOriginal=",
                                               "-DateTimeOriginal=2024:05:01 10:00:00"};
    for (const Photo& p : photos) {
        fs::copy_file(images + p.sample, dir.file(p.copy));
        fs::permissions(dir.file(p.copy), fs::perms::owner_write, fs::perm_options::add);
        clearFractions.push_back(dir.file(p.copy));
    }
    ASSERT_TRUE(RunCommand(test::kExifTool, clearFractions).succeeded());

    // The issue's own line: the photographs stay as they are.
    std::vector<std::string> before;
    for (const Photo& p : photos) before.push_back(test::readFile(dir.file(p.copy)));
    const test::CliResult sidecars =
        test::runCli("--recursive --sidecar --write-tags --csv out.csv track.gpx trip/", dir.folder());
    EXPECT_EQ(sidecars.status, 0) << sidecars.out;
    EXPECT_NE(sidecars.out.find("XMP files: 3 written, 0 not placed, 0 failed"), std::string::npos) << sidecars.out;
    for (std::size_t k = 0; k < std::size(photos); ++k) {
        const std::string photo = dir.file(photos[k].copy);
        SCOPED_TRACE(photo);
        EXPECT_TRUE(test::readFile(photo) == before[k]);
        const auto xmp = readTags(fs::path(photo).replace_extension(".xmp").string());
        EXPECT_NEAR(number(xmp, "XMP-exif:GPSLatitude"), 55.1, 0.001 / 3600);
        EXPECT_NEAR(number(xmp, "XMP-exif:GPSLongitude"), 37.1, 0.001 / 3600);
        EXPECT_EQ(number(xmp, "XMP-exif:GPSAltitude"), 100);
    }

    // Each camera on its own zone's clock, one without a zone on UTC.
    for (const Photo& p : photos)
        ASSERT_TRUE(RunCommand(test::kExifTool, {"-q", "-overwrite_original",
                                                 std::string("-DateTimeOriginal=2024:05:01 ") + p.local,
                                                 std::string("-OffsetTimeOriginal=") + p.zone, "-OffsetTime=",
                                                 dir.file(p.copy)})
                        .succeeded());
    const test::CliResult tags =
        test::runCli("--recursive --photo-zones --write-tags --csv out.csv track.gpx trip/", dir.folder());
    EXPECT_EQ(tags.status, 0) << tags.out;
    EXPECT_NE(tags.out.find("GPS tags: 3 written, 0 not placed, 0 failed"), std::string::npos) << tags.out;
    for (const Photo& p : photos) {
        SCOPED_TRACE(p.copy);
        const auto written = readTags(dir.file(p.copy));
        EXPECT_NEAR(number(written, "GPS:GPSLatitude"), 55.1, 0.001 / 3600);
        EXPECT_NEAR(number(written, "GPS:GPSLongitude"), 37.1, 0.001 / 3600);
        EXPECT_EQ(written.at("GPS:GPSLatitudeRef"), "N");
    }
}

}  // namespace
}  // namespace geovanta

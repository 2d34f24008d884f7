// geovanta-cli --write-tags with the real ExifTool over a photo folder whose
// XMP files, or ExifTool's temporary files, are links or no files at all,
// as an unpacked archive can hold them: nothing outside the folder and no
// other photograph is written, and each one refused is named.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>

#include "runtime/processrunner.h"
#include "support/exiftooltags.h"
#include "support/runcli.h"
#include "support/tempdir.h"

namespace geovanta {
namespace {

namespace fs = std::filesystem;

// Two points two minutes apart around 10:00 UTC on 1 May 2024.
constexpr const char* kTrack = R"(<?xml version="1.0"?>
<gpx version="1.1" creator="test" xmlns="http://www.topografix.com/GPX/1/1">
 <trk><trkseg>
  <trkpt lat="55.0" lon="37.0"><time>2024-05-01T09:59:00Z</time></trkpt>
  <trkpt lat="55.2" lon="37.2"><time>2024-05-01T10:01:00Z</time></trkpt>
 </trkseg></trk>
</gpx>
)";

class WriteOnlyHere : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(test::kExifTool)) GTEST_SKIP() << "no exiftool beside the programs";
        dir.write("track.gpx", kTrack);
        fs::create_directories(dir.file("trip"));
        fs::create_directories(dir.file("victim"));
        const std::string first = dir.file("trip/IMG_0001.JPG");
        ASSERT_EQ(std::system(("convert -size 64x48 xc:gray '" + first + "'").c_str()), 0);
        ASSERT_TRUE(RunCommand(test::kExifTool, {"-q", "-overwrite_original", "-DateTimeOriginal=2024:05:01 10:00:00",
                                                 first})
                        .succeeded());
        for (int n = 2; n <= 9; ++n) fs::copy_file(first, dir.file("trip/IMG_000" + std::to_string(n) + ".JPG"));
        fs::copy_file(first, dir.file("victim/holiday.jpg"));
        dir.write("victim/hard.xmp", "<x:xmpmeta xmlns:x='adobe:ns:meta/'/>");
    }

    // Every file of the folder with its bytes.
    std::map<std::string, std::string> contents(const std::string& folder) const {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::directory_iterator(dir.file(folder)))
            files[entry.path().filename().string()] = test::readFile(entry.path().string());
        return files;
    }

    void expectNamed(const std::string& out, const std::string& line) const {
        EXPECT_NE(out.find("geovanta-cli: " + line + "\n"), std::string::npos) << line << "\n" << out;
    }

    test::TempDir dir;
};

TEST_F(WriteOnlyHere, XmpFilesInLinksPlacesAreRefused) {
    fs::create_symlink("../victim/holiday.jpg", dir.file("trip/IMG_0002.xmp"));  // a photograph outside
    fs::create_symlink("IMG_0001.JPG", dir.file("trip/IMG_0003.xmp"));           // another of the batch
    fs::create_symlink("../victim/new.xmp", dir.file("trip/IMG_0004.xmp"));      // leads nowhere yet
    fs::create_hard_link(dir.file("victim/hard.xmp"), dir.file("trip/IMG_0005.xmp"));
    fs::create_directory(dir.file("trip/IMG_0006.xmp"));
    ASSERT_EQ(::mkfifo(dir.file("trip/IMG_0007.xmp").c_str(), 0644), 0);
    fs::create_symlink("../victim/made.xmp", dir.file("trip/IMG_0008.xmp_exiftool_tmp"));
    const auto victim = contents("victim");
    const std::string photo = test::readFile(dir.file("trip/IMG_0001.JPG"));

    // Given by relative names, the files are named by their whole paths.
    const test::CliResult r = test::runCli("--write-tags --sidecar --csv out.csv track.gpx trip", dir.folder());
    EXPECT_EQ(r.status, 1) << r.out;
    expectNamed(r.out, "XMP files: 2 written, 0 not placed, 7 failed");
    const std::string link = "it is a symbolic link; not written";
    expectNamed(r.out, "\"" + dir.file("trip/IMG_0002.xmp") + "\": " + link);
    expectNamed(r.out, "\"" + dir.file("trip/IMG_0003.xmp") + "\": " + link);
    expectNamed(r.out, "\"" + dir.file("trip/IMG_0004.xmp") + "\": " + link);
    expectNamed(r.out, "\"" + dir.file("trip/IMG_0005.xmp") + "\": the file has other names (hard links); not written");
    expectNamed(r.out, "\"" + dir.file("trip/IMG_0006.xmp") + "\": a folder has the XMP file's name");
    expectNamed(r.out, "\"" + dir.file("trip/IMG_0007.xmp") + "\": not a regular file");
    expectNamed(r.out, "\"" + dir.file("trip/IMG_0008.xmp") + "\": a link or something other than a file has the name of ExifTool's "
                       "temporary file \"" + fs::canonical(dir.file("trip")).string() + "/IMG_0008.xmp_exiftool_tmp\"; not written");

    EXPECT_EQ(contents("victim"), victim);
    EXPECT_EQ(test::readFile(dir.file("trip/IMG_0001.JPG")), photo);
    for (const char* name : {"IMG_0002.xmp", "IMG_0003.xmp", "IMG_0004.xmp", "IMG_0008.xmp_exiftool_tmp"})
        EXPECT_TRUE(fs::is_symlink(dir.file(std::string("trip/") + name))) << name;
    EXPECT_FALSE(fs::exists(dir.file("trip/IMG_0008.xmp")));
    // The photographs with nothing in the way are written all the same.
    for (const char* name : {"IMG_0001.xmp", "IMG_0009.xmp"})
        EXPECT_NEAR(test::number(test::readTags(dir.file(std::string("trip/") + name)), "XMP-exif:GPSLatitude"), 55.1,
                    0.001 / 3600)
            << name;
}

// Written into the photographs, a link in the place of ExifTool's temporary
// file would make the new photograph outside and leave the link in its place.
TEST_F(WriteOnlyHere, PhotographWithALinkForItsTemporaryFileIsRefused) {
    fs::create_symlink("../victim/made.jpg", dir.file("trip/IMG_0002.JPG_exiftool_tmp"));
    const std::string before = test::readFile(dir.file("trip/IMG_0002.JPG"));
    const test::CliResult r = test::runCli("--write-tags --csv out.csv track.gpx trip", dir.folder());
    EXPECT_EQ(r.status, 1) << r.out;
    expectNamed(r.out, "GPS tags: 8 written, 0 not placed, 1 failed");
    EXPECT_FALSE(fs::exists(dir.file("victim/made.jpg")));
    EXPECT_TRUE(fs::is_symlink(dir.file("trip/IMG_0002.JPG_exiftool_tmp")));
    EXPECT_EQ(test::readFile(dir.file("trip/IMG_0002.JPG")), before);
}

}  // namespace
}  // namespace geovanta

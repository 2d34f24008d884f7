// The choices made before a write, carried out by the real ExifTool and read
// back by it: raw files into XMP files and the others into themselves, an
// XMP file shared by twins that do not agree, and the positions of
// photographs that are no longer placed taken out.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "input/photoscanner.h"
#include "output/exiftoolsession.h"
#include "output/photorows.h"
#include "runtime/keptprocess.h"
#include "runtime/processrunner.h"
#include "support/exiftooltags.h"
#include "support/fakeconsole.h"
#include "support/tabletagwrite.h"
#include "support/tempdir.h"
#include "table/datatable.h"

namespace geovanta {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using test::number;
using test::readFile;
using test::readTags;

const std::string kCr3 = std::string(GEOVANTA_SHARED_DIR) + "/corpus/images/exiftool__CanonRaw.cr3";

// Every tag whose name holds "GPS", as "Group:Tag=value".
std::vector<std::string> gpsTags(const std::string& file) {
    std::vector<std::string> gps;
    for (const auto& [key, value] : readTags(file))
        if (key.find("GPS") != std::string::npos) gps.push_back(key + "=" + value);
    return gps;
}

class WriteChoicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(test::kExifTool)) GTEST_SKIP() << "no exiftool beside the programs";
    }
    // A small JPEG with a camera's make, and with `gps` ExifTool arguments
    // for a position it carries already.
    std::string jpeg(const std::string& name, std::vector<std::string> gps = {}) {
        const std::string path = dir.file(name);
        EXPECT_EQ(std::system(("convert -size 32x24 xc:gray '" + path + "'").c_str()), 0);
        std::vector<std::string> args{"-q", "-overwrite_original", "-Make=Geovanta"};
        args.insert(args.end(), gps.begin(), gps.end());
        args.push_back(path);
        EXPECT_TRUE(RunCommand(test::kExifTool, args).succeeded());
        return path;
    }
    // The row of the photograph `name` in a table scanned from the folder.
    std::size_t row(const std::string& name) const {
        for (std::size_t r = 0; r < table.rowCount(); ++r)
            if (fs::path(std::string(table.text(r, FieldId::FileName))).filename() == name) return r;
        ADD_FAILURE() << name;
        return 0;
    }
    void place(const std::string& name, double lat, double lon) {
        table.setReal(row(name), FieldId::Lat, lat);
        table.setReal(row(name), FieldId::Lon, lon);
    }

    test::TempDir dir;
    DataTable table;
    test::FakeConsole console;
    ExifToolSessions sessions{test::kExifTool, KeptProcess::maker()};
    TagWriter writer{sessions};
    test::TableTagWrite write{table, console, writer};
};

// Raw files go into XMP files beside them and are never changed; JPEGs, a
// raw file's twin among them, are written themselves.
TEST_F(WriteChoicesTest, RawFilesIntoXmpFilesTheOthersIntoThemselves) {
    if (!fs::exists(kCr3)) GTEST_SKIP() << "no corpus";
    fs::copy_file(kCr3, dir.file("IMG_0001.CR3"));
    fs::copy_file(kCr3, dir.file("IMG_0003.cr3"));
    jpeg("IMG_0001.JPG");
    jpeg("IMG_0002.jpg");
    const std::string raw = readFile(dir.file("IMG_0001.CR3"));
    ASSERT_EQ(LoadFotos(table, dir.folder()).leftOut.size(), 0u);
    ASSERT_EQ(table.rowCount(), 4u);
    place("IMG_0001.CR3", 55.5, 37.25);
    place("IMG_0001.JPG", 55.5, 37.25);
    place("IMG_0002.jpg", -33.5, -70.25);
    place("IMG_0003.cr3", 10, 20);
    write.settings().sidecars = Sidecars::BaseName;
    write.settings().rawOnly = true;

    const TagWrite::Outcome outcome = write.writeAll();
    EXPECT_EQ(outcome.summary(), "Written: 2 into photos, 2 into XMP files; 0 not placed, 0 failed");
    EXPECT_EQ(console.choices.front(), "Writing: raw files into XMP files beside them (IMG_0001.xmp), "
                                       "the others into the photos");
    EXPECT_EQ(readFile(dir.file("IMG_0001.CR3")), raw);
    EXPECT_EQ(readFile(dir.file("IMG_0003.cr3")), raw);
    EXPECT_NEAR(number(readTags(dir.file("IMG_0001.xmp")), "XMP-exif:GPSLatitude"), 55.5, 1e-6);
    EXPECT_NEAR(number(readTags(dir.file("IMG_0003.xmp")), "XMP-exif:GPSLongitude"), 20, 1e-6);
    EXPECT_NEAR(number(readTags(dir.file("IMG_0001.JPG")), "Composite:GPSLatitude"), 55.5, 1e-6);
    EXPECT_NEAR(number(readTags(dir.file("IMG_0002.jpg")), "Composite:GPSLongitude"), -70.25, 1e-6);
    EXPECT_FALSE(fs::exists(dir.file("IMG_0002.xmp")));
}

// A JPEG and a raw file that share one XMP file: written to it once when
// they agree within a metre, left alone with both named when they do not.
TEST_F(WriteChoicesTest, TwinsShareTheirXmpFileOnlyWhenTheyAgree) {
    const std::string near = jpeg("IMG_0001.JPG"), nearRaw = dir.write("IMG_0001.dng", "raw");
    const std::string far = jpeg("IMG_0002.JPG"), farRaw = dir.write("IMG_0002.dng", "raw");
    const std::string kept = dir.write("IMG_0002.xmp", "<x:xmpmeta xmlns:x='adobe:ns:meta/'/>\n");
    test::addPhoto(table, near, 55.5, 37.25);
    test::addPhoto(table, nearRaw, 55.500005, 37.25);  // half a metre north
    test::addPhoto(table, far, 55.5, 37.25);           // 10:00:45
    test::addPhoto(table, farRaw, 55.52, 37.25);       // 10:46:30, two kilometres on
    write.setSidecars(Sidecars::BaseName);

    const TagWrite::Outcome outcome = write.writeAll();
    EXPECT_EQ(outcome.summary(), "XMP files: 1 written, 0 not placed, 2 failed");
    const std::string left = "the XMP file \"" + dir.file("IMG_0002.xmp") + "\" is shared with ";
    EXPECT_THAT(outcome.failures,
                ElementsAre("\"" + far + "\": " + left + "\"" + farRaw + "\", whose position is not the same; "
                                                                            "the XMP file was left alone",
                            "\"" + farRaw + "\": " + left + "\"" + far + "\", whose position is not the same; "
                                                                         "the XMP file was left alone"));
    EXPECT_EQ(readFile(kept), "<x:xmpmeta xmlns:x='adobe:ns:meta/'/>\n");
    EXPECT_NEAR(number(readTags(dir.file("IMG_0001.xmp")), "XMP-exif:GPSLatitude"), 55.500005, 1e-6);
}

// A photograph that carried a position when it was scanned, a phone's, keeps
// it byte for byte and is named as kept; the others are written as ever.
TEST_F(WriteChoicesTest, APositionAPhotographCarriedIsKept) {
    const std::string phone = jpeg("phone.jpg", {"-GPSLatitude=45.25", "-GPSLatitudeRef=N", "-GPSLongitude=7.5",
                                                 "-GPSLongitudeRef=W"});
    const std::string camera = jpeg("camera.jpg");
    const std::string before = readFile(phone);
    ASSERT_EQ(LoadFotos(table, dir.folder()).leftOut.size(), 0u);
    const std::optional<PhotoGps> own = table.photoFacts(row("phone.jpg")).gps;
    ASSERT_TRUE(own);
    EXPECT_NEAR(own->lon, -7.5, 1e-9);
    place("phone.jpg", 10, 20);
    place("camera.jpg", 10, 20);
    write.settings().keepExisting = true;

    const TagWrite::Outcome outcome = write.writeAll();
    EXPECT_EQ(outcome.summary(), "GPS tags: 1 written, 0 not placed, 0 failed, 1 kept (already had coordinates)");
    EXPECT_THAT(outcome.keptLines, ElementsAre("\"" + phone + "\": already has coordinates"));
    EXPECT_EQ(readFile(phone), before);
    EXPECT_EQ(number(readTags(camera), "Composite:GPSLatitude"), 10);
}

// Photographs no longer placed lose their GPS record and nothing else: in
// the photograph, or in an XMP file that is there; none is made for it, and
// a file without a position is left as it was and not counted.
TEST_F(WriteChoicesTest, UnplacedPhotographsLoseTheirPositionAndNothingElse) {
    const std::vector<std::string> old{"-GPSLatitude=45", "-GPSLatitudeRef=N", "-GPSLongitude=7",
                                       "-GPSLongitudeRef=E", "-GPSAltitude=999", "-GPSDateStamp=2001:01:01"};
    const std::string stale = jpeg("stale.jpg", old);
    const std::string bare = jpeg("bare.jpg");
    const std::string placed = jpeg("placed.jpg", old);
    const std::string bareBefore = readFile(bare);
    const auto staleBefore = readTags(stale);
    test::addPhoto(table, stale, 0, 0);
    test::addPhoto(table, bare, 0, 0);
    test::addPhoto(table, placed, 10, 20);
    write.settings().clearUnplaced = true;

    TagWrite::Outcome outcome = write.writeAll();
    EXPECT_EQ(outcome.summary(), "GPS tags: 1 written, 2 not placed, 0 failed, 1 cleared");
    EXPECT_THAT(gpsTags(stale), ::testing::IsEmpty());
    auto tags = readTags(stale);
    EXPECT_EQ(tags.at("IFD0:Make"), "Geovanta");
    std::erase_if(tags, [](const auto& t) { return t.first.rfind("System:", 0) == 0; });
    auto before = staleBefore;
    std::erase_if(before, [](const auto& t) { return t.first.find("GPS") != std::string::npos || t.first.rfind("System:", 0) == 0; });
    EXPECT_EQ(tags, before);
    EXPECT_EQ(readFile(bare), bareBefore);
    EXPECT_EQ(number(readTags(placed), "Composite:GPSLatitude"), 10);
    EXPECT_TRUE(std::isnan(number(readTags(placed), "GPS:GPSAltitude")));
    // Each unplaced photograph is named in the console with why.
    bool named = false;
    for (const auto& entry : console.infoEntries)
        for (const std::string& line : entry) named |= line.rfind("\"" + stale + "\": ", 0) == 0;
    EXPECT_TRUE(named);

    // Beside the photographs: an XMP file there loses its position and keeps
    // its title; none is made where there is none.
    dir.write("stale.xmp", "<x:xmpmeta xmlns:x='adobe:ns:meta/'/>\n");
    ASSERT_TRUE(RunCommand(test::kExifTool, {"-q", "-overwrite_original", "-XMP-exif:GPSLatitude=45 0 0 N",
                                             "-XMP-dc:Title=Harbour", dir.file("stale.xmp")})
                    .succeeded());
    write.setSidecars(Sidecars::BaseName);
    outcome = write.writeAll();
    EXPECT_EQ(outcome.summary(), "XMP files: 1 written, 2 not placed, 0 failed, 1 cleared");
    EXPECT_THAT(gpsTags(dir.file("stale.xmp")), ::testing::IsEmpty());
    EXPECT_EQ(readTags(dir.file("stale.xmp")).at("XMP-dc:Title"), "Harbour");
    EXPECT_FALSE(fs::exists(dir.file("bare.xmp")));
}

}  // namespace
}  // namespace geovanta

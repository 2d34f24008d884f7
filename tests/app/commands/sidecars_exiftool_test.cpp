// Positions written into the XMP files beside the photographs by the real
// ExifTool: made new, or updated keeping every other tag, the photographs
// never touched.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "support/tabletagwrite.h"
#include "output/exiftoolsession.h"
#include "output/photorows.h"
#include "runtime/keptprocess.h"
#include "support/exiftooltags.h"
#include "support/fakeconsole.h"
#include "support/tempdir.h"
#include "table/datatable.h"

namespace geovanta {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::HasSubstr;
using test::number;
using test::readTags;

// As a raw developer leaves one: a rating, a title, settings in a namespace
// of its own, and a position from before.
constexpr const char* kDeveloperXmp = R"(<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?>
<x:xmpmeta xmlns:x='adobe:ns:meta/'>
<rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>
 <rdf:Description rdf:about=''
  xmlns:xmp='http://ns.adobe.com/xap/1.0/'
  xmlns:dc='http://purl.org/dc/elements/1.1/'
  xmlns:exif='http://ns.adobe.com/exif/1.0/'
  xmlns:dev='http://example.org/raw-developer/1.0/'
  xmp:Rating='3'
  dev:Exposure='+0.70'
  exif:GPSLatitude='10,0.0N'
  exif:GPSLongitude='20,0.0E'
  exif:GPSImgDirection='100/1'
  exif:GPSTimeStamp='2001-01-01T01:02:03Z'>
  <dc:title><rdf:Alt><rdf:li xml:lang='x-default'>Harbour at dawn</rdf:li></rdf:Alt></dc:title>
  <dev:History><rdf:Seq><rdf:li>crop</rdf:li><rdf:li>white balance</rdf:li></rdf:Seq></dev:History>
 </rdf:Description>
</rdf:RDF>
</x:xmpmeta>
<?xpacket end='w'?>)";

// Everything but the position, the file's own properties and the name of
// the tool that wrote it last.
std::map<std::string, std::string> otherTags(std::map<std::string, std::string> tags) {
    std::erase_if(tags, [](const auto& t) {
        const std::string& key = t.first;
        return key.rfind("XMP-exif:GPS", 0) == 0 || key.rfind("System:", 0) == 0 ||
               key.rfind("Composite:GPS", 0) == 0 || key == "XMP-x:XMPToolkit";
    });
    return tags;
}

double feet(double metres) { return metres / 0.3048; }

TEST(SidecarsWithExifTool, MadeNewOrUpdatedKeepingEveryOtherTag) {
    if (!fs::exists(test::kExifTool)) GTEST_SKIP() << "no exiftool beside the programs";
    test::TempDir dir;
    // ExifTool never opens the photographs, so any bytes do; a raw file
    // made read-only to keep it as it came stays so.
    const std::string raw = dir.write("IMG_0001.CR3", "raw");
    const std::string jpeg = dir.write("IMG_0001.JPG", "jpeg taken with it");
    const std::string edited = dir.write("IMG_0002.NEF", "edited raw");
    fs::permissions(raw, fs::perms::owner_read);
    const std::string developed = dir.write("IMG_0002.xmp", kDeveloperXmp);
    const auto before = readTags(developed);
    ASSERT_EQ(before.at("XMP-dev:Exposure"), "+0.70");

    DataTable table;
    test::addPhoto(table, raw, 55.7558, 37.6173, feet(150));
    test::addPhoto(table, jpeg, 55.7558, 37.6173, feet(150));
    test::addPhoto(table, edited, -33.5, -70.25, feet(-5));
    test::FakeConsole console;
    ExifToolSessions sessions(test::kExifTool, KeptProcess::maker());
    TagWriter writer(sessions);
    test::TableTagWrite commands(table, console, writer);
    commands.setSidecars(Sidecars::BaseName);
    const TagWrite::Outcome outcome = commands.writeAll();
    // The raw file and its JPEG share one XMP file, counted once.
    EXPECT_EQ(outcome.summary(), "XMP files: 2 written, 0 not placed, 0 failed");
    EXPECT_TRUE(outcome.failures.empty()) << outcome.failures.front();

    EXPECT_EQ(test::readFile(raw), "raw");
    EXPECT_EQ(test::readFile(jpeg), "jpeg taken with it");
    EXPECT_EQ(test::readFile(edited), "edited raw");
    // The raw file and its JPEG share one XMP file, written once.
    std::vector<std::string> shown;
    for (const auto& entry : console.infoEntries) shown.insert(shown.end(), entry.begin(), entry.end());
    EXPECT_THAT(shown, Contains(HasSubstr("the same XMP file as")));
    const auto made = readTags(dir.file("IMG_0001.xmp"));
    EXPECT_NEAR(number(made, "XMP-exif:GPSLatitude"), 55.7558, 0.001 / 3600);
    EXPECT_NEAR(number(made, "XMP-exif:GPSLongitude"), 37.6173, 0.001 / 3600);
    EXPECT_EQ(number(made, "XMP-exif:GPSAltitude"), 150);
    EXPECT_EQ(made.at("XMP-exif:GPSAltitudeRef"), "0");

    const auto updated = readTags(developed);
    EXPECT_NEAR(number(updated, "XMP-exif:GPSLatitude"), -33.5, 0.001 / 3600);
    EXPECT_NEAR(number(updated, "XMP-exif:GPSLongitude"), -70.25, 0.001 / 3600);
    EXPECT_EQ(number(updated, "XMP-exif:GPSAltitude"), 5);
    EXPECT_EQ(updated.at("XMP-exif:GPSAltitudeRef"), "1");
    EXPECT_EQ(otherTags(updated), otherTags(before));
    // Nothing of the earlier position stays: its direction and its time.
    ASSERT_EQ(before.count("XMP-exif:GPSImgDirection"), 1u);
    ASSERT_EQ(before.count("XMP-exif:GPSDateTime"), 1u);
    EXPECT_EQ(updated.count("XMP-exif:GPSImgDirection"), 0u);
    EXPECT_EQ(updated.count("XMP-exif:GPSDateTime"), 0u);

    // With the full name, a file of its own for each photograph.
    commands.setSidecars(Sidecars::FullName);
    EXPECT_EQ(commands.writeAll().written, 3);
    for (const std::string& photo : {raw, jpeg, edited})
        EXPECT_NEAR(number(readTags(photo + ".xmp"), "XMP-exif:GPSLatitude"), photo == edited ? -33.5 : 55.7558,
                    0.001 / 3600)
            << photo;
}

}  // namespace
}  // namespace geovanta

// Place names written with the positions by the real ExifTool, into
// photographs and into XMP files beside them, and read back by ExifTool and
// by the program's own reader; every other tag kept.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "input/exif.h"
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
using test::kExifTool;
using test::readTags;

constexpr const char* kTitledXmp = R"(<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?>
<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>
 <rdf:Description rdf:about='' xmlns:dc='http://purl.org/dc/elements/1.1/'>
  <dc:title><rdf:Alt><rdf:li xml:lang='x-default'>Harbour at dawn</rdf:li></rdf:Alt></dc:title>
 </rdf:Description></rdf:RDF></x:xmpmeta><?xpacket end='w'?>)";

// A JPEG with EXIF tags, and IPTC keywords when asked.
std::string makeJpeg(test::TempDir& dir, const std::string& name, bool iptc) {
    const std::string path = dir.file(name);
    if (std::system(("convert -size 16x16 xc:gray '" + path + "'").c_str()) != 0) return {};
    std::vector<std::string> args{"-overwrite_original", "-Make=Geovanta", "-Model=Test camera"};
    if (iptc) args.push_back("-IPTC:Keywords=harbour");
    args.push_back(path);
    return RunCommand(kExifTool, args).succeeded() ? path : std::string();
}

// Everything but what the write adds and the file's own properties.
std::map<std::string, std::string> otherTags(std::map<std::string, std::string> tags) {
    std::erase_if(tags, [](const auto& t) {
        const std::string& k = t.first;
        return k.rfind("GPS:", 0) == 0 || k.rfind("XMP-exif:GPS", 0) == 0 || k.rfind("System:", 0) == 0 ||
               k.rfind("Composite:", 0) == 0 || k.rfind("XMP-photoshop:", 0) == 0 ||
               k.rfind("XMP-iptcCore:", 0) == 0 || k.rfind("IPTC:", 0) == 0 || k == "XMP-x:XMPToolkit" ||
               k.rfind("File:", 0) == 0 || k.rfind("Photoshop:", 0) == 0 || k.rfind("XMP-x:", 0) == 0;
    });
    return tags;
}

void addNamedPhoto(DataTable& table, const std::string& file, IptcKind iptc) {
    test::addPhoto(table, file, 64.1466, -21.9426);
    const std::size_t row = table.rowCount() - 1;
    PhotoFacts facts;
    facts.iptc = iptc;
    const char* names[] = {"Reykjavík", "Capital Region", "Iceland", "IS"};
    for (std::size_t k = 0; k < kPlaceParts; ++k)
        facts.place.set(static_cast<PlacePart>(k), names[k], NameSource::Lookup);
    table.setPhotoFacts(row, facts);
}

TEST(PlaceNamesWithExifTool, WrittenWithThePositionAndReadBack) {
    if (!fs::exists(kExifTool)) GTEST_SKIP() << "no exiftool beside the programs";
    test::TempDir dir;
    const std::string withIptc = makeJpeg(dir, "IMG_0001.JPG", true);
    const std::string plain = makeJpeg(dir, "IMG_0002.JPG", false);
    ASSERT_FALSE(withIptc.empty());
    ASSERT_FALSE(plain.empty());
    // The scan tells a photograph with IPTC records.
    TExif exif;
    exif.ReadExif(withIptc);
    EXPECT_EQ(exif.Iptc, IptcKind::Legacy);
    exif.ReadExif(plain);
    EXPECT_EQ(exif.Iptc, IptcKind::None);
    const auto before = readTags(withIptc);

    DataTable table;
    addNamedPhoto(table, withIptc, IptcKind::Legacy);
    addNamedPhoto(table, plain, IptcKind::None);
    test::FakeConsole console;
    ExifToolSessions sessions(kExifTool, KeptProcess::maker());
    TagWriter writer(sessions);
    test::TableTagWrite commands(table, console, writer);
    TagContent content;
    content.placeNames = true;
    commands.setContent(content);
    const TagWrite::Outcome outcome = commands.writeAll();
    ASSERT_TRUE(outcome.failures.empty()) << outcome.failures.front();
    EXPECT_EQ(outcome.written, 2);

    const auto after = readTags(withIptc);
    EXPECT_EQ(after.at("XMP-photoshop:City"), "Reykjavík");
    EXPECT_EQ(after.at("XMP-photoshop:State"), "Capital Region");
    EXPECT_EQ(after.at("XMP-photoshop:Country"), "Iceland");
    EXPECT_EQ(after.at("XMP-iptcCore:CountryCode"), "IS");
    EXPECT_EQ(after.at("IPTC:City"), "Reykjavík");
    EXPECT_EQ(after.at("IPTC:Country-PrimaryLocationCode"), "IS");
    EXPECT_EQ(after.at("IPTC:Keywords"), "harbour");
    EXPECT_EQ(otherTags(after), otherTags(before));
    const auto plainAfter = readTags(plain);
    EXPECT_EQ(plainAfter.at("XMP-photoshop:City"), "Reykjavík");
    EXPECT_EQ(plainAfter.count("IPTC:City"), 0u);
    EXPECT_EQ(plainAfter.at("IFD0:Make"), "Geovanta");

    // The program reads back what it wrote, as the photograph's own names.
    exif.ReadExif(withIptc);
    EXPECT_EQ(exif.Place[PlacePart::City], "Reykjavík");
    EXPECT_EQ(exif.Place.sourceOf(PlacePart::CountryCode), NameSource::Photo);

    // An XMP file beside the photograph gets the same, its title kept.
    const std::string sidecar = dir.write("IMG_0002.xmp", kTitledXmp);
    commands.setSidecars(Sidecars::BaseName);
    const std::string photoBefore = test::readFile(plain);
    EXPECT_EQ(commands.writeAll().written, 2);
    EXPECT_EQ(test::readFile(plain), photoBefore);
    const auto xmp = readTags(sidecar);
    EXPECT_EQ(xmp.at("XMP-photoshop:City"), "Reykjavík");
    EXPECT_EQ(xmp.at("XMP-iptcCore:CountryCode"), "IS");
    EXPECT_EQ(xmp.at("XMP-dc:Title"), "Harbour at dawn");
}

}  // namespace
}  // namespace geovanta

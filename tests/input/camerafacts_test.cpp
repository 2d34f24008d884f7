// The camera and the GPS position a photograph carries: the corpus against
// ExifTool's reading of it, GPS values without sense, and two bodies of one
// model told apart in a scanned folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "input/exif.h"
#include "input/exiffixtures.h"
#include "input/photoscanner.h"
#include "support/spawnprogram.h"
#include "table/datatable.h"
#include "table/datetime.h"
#include "table/numbertext.h"

namespace fs = std::filesystem;
using namespace geovanta;
using namespace geovanta::test;

namespace {

const std::string kImages = std::string(GEOVANTA_SHARED_DIR) + "/corpus/images/";

bool haveCorpus() { return fs::is_directory(kImages); }

}  // namespace

// Expected: `exiftool -s3 -Make -Model -SerialNumber` (12.57), where it
// reads EXIF, Canon's or Nikon's maker notes; a serial ExifTool finds
// elsewhere (XMP, other makers' notes) is none here.
TEST(CameraFacts, CorpusCamerasAsExifToolReadsThem) {
    if (!haveCorpus()) GTEST_SKIP() << "no corpus at " << kImages;
    const struct {
        const char* file;
        CameraKey camera;
    } cases[] = {
        {"exiftool__Apple.jpg", {"Apple", "iPhone 7", ""}},
        {"exiftool__Canon.jpg", {"Canon", "Canon EOS DIGITAL REBEL", "0560018150"}},  // maker notes
        {"exiftool__CanonRaw.cr2", {"Canon", "Canon EOS 350D DIGITAL", "0123456789"}},
        {"exiftool__CanonRaw.cr3", {"Canon", "Canon EOS M50", "613040000565"}},  // CMT1 and CMT2
        // CameraSerialNumber, "012345678": the same number as the maker notes' one.
        {"exiftool__DNG.dng", {"Canon", "Canon EOS 350D DIGITAL", "0012345678"}},
        // ExifTool prefers the CIFF segment's camera; EXIF names another.
        {"exiftool__ExifTool.jpg", {"FUJIFILM", "FinePix2400Zoom", ""}},
        {"exiftool__FujiFilm.raf", {"FUJIFILM", "FinePix S5Pro", ""}},
        {"exiftool__Nikon.nef", {"NIKON CORPORATION", "NIKON D70", "12345678"}},  // little-endian notes
        {"exiftool__NikonD2Hs.jpg", {"NIKON CORPORATION", "NIKON D2Hs", "3001006"}},
        // ExifTool shows "No= 1005a431"; the file holds "NO=".
        {"mei__Issue_247-1.nef", {"NIKON CORPORATION", "NIKON D70s", "NO= 1005a431"}},
        {"exiv2__exiv2-canon-powershot-s40.crw", {"Canon", "Canon PowerShot S40", ""}},
        {"filetype__fixture-sony-zv-e10.arw", {"SONY", "ZV-E10", ""}},
        {"mei__IMG_1034.heic", {"Apple", "iPhone 8", ""}},
        {"mei__Canon_EOS_REBEL_T3i.jpg", {"Canon", "Canon EOS REBEL T3i", "142066080698"}},  // 0xA431 in IFD0
        {"mei__Issue_122.jpg", {"Canon", "Canon EOS-1D", "005266"}},
        {"ianare__corrupted.jpg", {"OLYMPUS IMAGING CORP.", "u1020,S1020", ""}},
        {"exiftool__QuickTime.heic", {}},
    };
    TExif exif;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        ASSERT_NO_THROW(exif.ReadExif(kImages + c.file));
        EXPECT_EQ(exif.Camera.make, c.camera.make);
        EXPECT_EQ(exif.Camera.model, c.camera.model);
        EXPECT_EQ(exif.Camera, c.camera) << exif.Camera.serial;
    }
}

// Expected: `exiftool -n -GPSLatitude -GPSLongitude -GPSAltitude -GPSDateTime`.
TEST(CameraFacts, CorpusPositionsAsExifToolReadsThem) {
    if (!haveCorpus()) GTEST_SKIP() << "no corpus at " << kImages;
    const struct {
        const char* file;
        std::optional<double> lat, lon, alt;
        const char* utc;  // "": none
    } cases[] = {
        {"exiftool__Apple.jpg", 53.3828472222222, -1.45667777777778, 72.36649215, "2016-09-28 17:17:58.650"},
        {"ianare__DSCN0010.jpg", 43.4674483333333, 11.8851266666639, {}, "2008-10-23 14:27:07.240"},
        {"mei__HTC_Desire.jpg", 45.5006666666667, 9.11033333333333, 217, "2011-05-06 07:59:48.000"},
        {"mei__IMG_1034.heic", 23.1779166666667, 113.394316666667, 42.81033687, "2018-02-05 07:11:43.070"},
        // A date stamp without a time stamp, and the other way round: no UTC time.
        {"exiv2__IMG_1361.dng", 34.0596083333333, -84.681725, 261.0165326, ""},
        {"mei__Issue_263_dotnet.heic", 38.6995388888889, -9.20774722222222, 14.00004578, ""},
        {"mei__Apple_iPhone_4.jpg", 41.853, 12.4888333333333, {}, ""},
        // ExifTool reads 0, 0 and 0 m: a receiver without a fix.
        {"mei__Samsung_GT-I9000_Galaxy_S_.jpg", {}, {}, {}, ""},
    };
    TExif exif;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        ASSERT_NO_THROW(exif.ReadExif(kImages + c.file));
        ASSERT_EQ(exif.GpsPosition.has_value(), c.lat.has_value());
        if (!c.lat) continue;
        const PhotoGps& gps = *exif.GpsPosition;
        EXPECT_NEAR(gps.lat, *c.lat, 1e-9);
        EXPECT_NEAR(gps.lon, *c.lon, 1e-9);
        ASSERT_EQ(gps.altitudeMetres.has_value(), c.alt.has_value());
        if (c.alt) {
            EXPECT_NEAR(*gps.altitudeMetres, *c.alt, 1e-6);
        }
        EXPECT_EQ(gps.utcMs ? formatIsoDayTime(*gps.utcMs) : "", c.utc);
    }
}

// Nonsense in the GPS directory is no position (or no altitude, no time),
// and never costs the photograph its shooting time.
TEST(CameraFacts, GpsValuesWithoutSense) {
    using Pairs = std::vector<std::pair<uint32_t, uint32_t>>;
    struct Gps {
        char latRef = 'N', lonRef = 'W';
        Pairs lat = {{55, 1}, {45, 1}, {5625, 100}}, lon = {{37, 1}, {30, 1}, {0, 1}};
        uint16_t latType = 5;
        std::optional<uint8_t> altRef = 1;
        Pairs alt = {{125, 10}};
        std::string date = "2021:06:15";
        Pairs time = {{4, 1}, {50, 1}, {3025, 100}};
    };
    // Values a double holds exactly, so that they compare equal.
    const PhotoGps good{55.765625, -37.5, -12.5, *civilToMs({2021, 6, 15, 4, 50, 30, 250})};
    struct Case {
        const char* what;
        void (*change)(Gps&);
        std::optional<PhotoGps> expected;
    };
    auto without = [](PhotoGps g, bool alt, bool utc) {
        if (!alt) g.altitudeMetres.reset();
        if (!utc) g.utcMs.reset();
        return g;
    };
    const Case cases[] = {
        {"as written", [](Gps&) {}, good},
        {"a lower-case letter", [](Gps& g) { g.latRef = 'n'; }, good},
        {"zero denominator", [](Gps& g) { g.lat[2] = {21, 0}; }, std::nullopt},
        {"past the pole", [](Gps& g) { g.lat = {{90, 1}, {0, 1}, {1, 1}}; }, std::nullopt},
        {"past 180", [](Gps& g) { g.lon = {{181, 1}}; }, std::nullopt},
        {"no hemisphere", [](Gps& g) { g.latRef = 'X'; }, std::nullopt},
        {"negative degrees", [](Gps& g) { g.latType = 10, g.lat = {{0xFFFFFFC9u, 1}}; }, std::nullopt},
        {"no fix", [](Gps& g) { g.lat = g.lon = {{0, 1}, {0, 1}, {0, 1}}; }, std::nullopt},
        {"degrees alone", [](Gps& g) { g.lat = {{55765625, 1000000}}; }, good},
        {"no altitude reference", [](Gps& g) { g.altRef.reset(); }, PhotoGps{55.765625, -37.5, 12.5, good.utcMs}},
        {"unknown altitude reference", [](Gps& g) { g.altRef = 2; }, without(good, false, true)},
        {"altitude 0/0", [](Gps& g) { g.alt = {{0, 0}}; }, without(good, false, true)},
        {"30 February", [](Gps& g) { g.date = "2021:02:30"; }, without(good, true, false)},
        {"hour 24", [](Gps& g) { g.time[0] = {24, 1}; }, without(good, true, false)},
        {"no date", [](Gps& g) { g.date.clear(); }, without(good, true, false)},
    };
    TempDir dir;
    for (const bool motorola : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (motorola ? " MM" : " II"));
            Gps g;
            c.change(g);
            TiffBuilder t(motorola);
            t.ascii(TiffBuilder::Exif, 0x9003, "2021:06:15 10:20:30");
            const auto letter = [](char c) { return Bytes{static_cast<uint8_t>(c), 0, 0, 0}; };
            t.inlineField(TiffBuilder::Gps, 0x0001, 2, 2, letter(g.latRef));
            t.rationals(TiffBuilder::Gps, 0x0002, g.lat, g.latType);
            t.inlineField(TiffBuilder::Gps, 0x0003, 2, 2, letter(g.lonRef));
            t.rationals(TiffBuilder::Gps, 0x0004, g.lon);
            if (g.altRef) t.inlineField(TiffBuilder::Gps, 0x0005, 1, 1, {*g.altRef, 0, 0, 0});
            t.rationals(TiffBuilder::Gps, 0x0006, g.alt).rationals(TiffBuilder::Gps, 0x0007, g.time);
            if (!g.date.empty()) t.ascii(TiffBuilder::Gps, 0x001D, g.date);
            const std::string file = dir.write("gps.jpg", JpegBuilder().exif(t.build()).startOfScan().build());
            TExif exif;
            ASSERT_NO_THROW(exif.ReadExif(file));
            EXPECT_EQ(exif.DateTimeOriginal, "2021:06:15 10:20:30");
            EXPECT_EQ(exif.GpsPosition, c.expected);
        }
    }
    // A GPS directory beyond the end of the file, or cut short in its
    // entries: no position, the time as before.
    for (const uint32_t gpsAt : {uint32_t{1} << 30, uint32_t{0}}) {
        TiffBuilder t(false);
        t.ascii(TiffBuilder::Exif, 0x9003, "2021:06:15 10:20:30");
        Bytes tiff = t.pointing(TiffBuilder::Ifd0, 0x8825, 4, 1, gpsAt).build();
        if (gpsAt == 0) {  // a directory of 500 entries at the end of the data, with none there
            const Bytes count = t.u16(500);
            tiff.insert(tiff.end(), count.begin(), count.end());
            const Bytes at = t.u32(static_cast<uint32_t>(tiff.size() - 2));
            std::copy(at.begin(), at.end(), tiff.begin() + 8 + 2 + 8);  // the pointer's value field
        }
        TExif exif;
        ASSERT_NO_THROW(exif.ReadExif(dir.write("cut.jpg", JpegBuilder().exif(tiff).build())));
        EXPECT_EQ(exif.DateTimeOriginal, "2021:06:15 10:20:30");
        EXPECT_FALSE(exif.GpsPosition);
    }
}

// Photographs of two bodies of one model: the Camera column tells them
// apart by the end of the serial, one of them written with leading zeros
// in another photograph, until one body's photographs are gone.
TEST(CameraFacts, TwoBodiesOfOneModelToldApart) {
    if (!haveCorpus()) GTEST_SKIP() << "no corpus at " << kImages;
    if (runProgram({exifTool(), "-ver"}) != 0) GTEST_SKIP() << "no exiftool";
    TempDir dir;
    const std::pair<const char*, const char*> photos[] = {
        {"A.jpg", "0000012345"}, {"B.jpg", "0000067890"}, {"C.jpg", "12345"}, {"D.jpg", ""}};
    for (const auto& [name, serial] : photos) {
        fs::copy_file(kImages + "ianare__Canon_40D.jpg", dir.file(name));
        fs::permissions(dir.file(name), fs::perms::owner_write, fs::perm_options::add);
        if (*serial) {
            ASSERT_EQ(runProgram({exifTool(), "-q", "-overwrite_original", std::string("-SerialNumber=") + serial,
                                  dir.file(name)}),
                      0);
        }
    }
    DataTable table;
    ASSERT_TRUE(LoadFotos(table, dir.folder()).ok());
    ASSERT_EQ(table.rowCount(), 4u);
    // By name: the four share one shooting time, so the table keeps them in listing order.
    auto shown = [&] {
        std::map<std::string, std::string> byName;
        for (std::size_t row = 0; row < table.rowCount(); ++row)
            byName[std::string(table.text(row, FieldId::Name))] = table.displayText(row, FieldId::Camera);
        std::string texts;
        for (const auto& [name, text] : byName) texts += name + "=" + text + ";";
        return texts;
    };
    EXPECT_EQ(shown(), "A=Canon EOS 40D …2345;B=Canon EOS 40D …7890;C=Canon EOS 40D …2345;D=Canon EOS 40D;");
    auto cameraOf = [&](std::string_view name) {
        for (std::size_t row = 0; row < table.rowCount(); ++row)
            if (table.text(row, FieldId::Name) == name) return *table.camera(row);
        return CameraKey{};
    };
    EXPECT_EQ(cameraOf("A"), cameraOf("C"));
    table.removeRowsIf([&](std::size_t row) { return table.text(row, FieldId::Name) == "B"; });
    EXPECT_EQ(shown(), "A=Canon EOS 40D;C=Canon EOS 40D;D=Canon EOS 40D;");
}

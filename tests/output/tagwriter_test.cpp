// ExifTool's arguments for a photograph row.
#include "output/tagwriter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string_view>

#include "output/exiftoolsession.h"
#include "output/photorows.h"
#include "output/splitdms.h"
#include "runtime/keptprocess.h"
#include "runtime/processrunner.h"
#include "support/tempdir.h"
#include "table/datatable.h"
#include "binding/calcpositions.h"
#include "geo/greatcircle.h"
#include "table/numbertext.h"
#include "table/datetime.h"

namespace geovanta {
namespace {

using ::testing::ElementsAre;
using test::addPhoto;

TEST(SplitDMS, DegreesMinutesRoundedSecondsAndLetter) {
    EXPECT_EQ(SplitDMS(55.7558, "SN"), (DmsParts{"55", "45", "21", "N"}));
    EXPECT_EQ(SplitDMS(37.6173, "WE"), (DmsParts{"37", "37", "2", "E"}));
    EXPECT_EQ(SplitDMS(-33.5, "SN"), (DmsParts{"33", "30", "0", "S"}));
    EXPECT_EQ(SplitDMS(-70.25, "WE"), (DmsParts{"70", "15", "0", "W"}));
    // Seconds may round up to 60; nothing is carried into the minutes.
    EXPECT_EQ(SplitDMS(48.999999, "SN"), (DmsParts{"48", "59", "60", "N"}));
    EXPECT_EQ(SplitDMS(0.0, "WE"), (DmsParts{"0", "0", "0", "E"}));
    EXPECT_EQ(SplitDMS(-0.0, "WE").letter, "E");
    EXPECT_EQ(SplitDMS(-179.9999999, "WE"), (DmsParts{"179", "59", "60", "W"}));
}

TEST(SplitDMS, SecondsWithDecimals) {
    EXPECT_EQ(SplitDMS(55.7558, "SN", 4), (DmsParts{"55", "45", "20.8800", "N"}));
    EXPECT_EQ(SplitDMS(-0.00001, "WE", 4), (DmsParts{"0", "0", "0.0360", "W"}));
    EXPECT_EQ(SplitDMS(10, "SN", 4).seconds, "0.0000");
    EXPECT_EQ(SplitDMS(48.99999999, "SN", 4), (DmsParts{"48", "59", "60.0000", "N"}));
}

// The argument `prefix` starts, or "" when none does.
std::string argument(const std::vector<std::string>& args, std::string_view prefix) {
    for (const std::string& a : args)
        if (a.rfind(prefix, 0) == 0) return a;
    return "";
}

TEST(TagWriter, ArgumentsOfAPhotograph) {
    DataTable table;
    addPhoto(table, "/photo/IMG_0001.JPG", 55.7558, 37.6173, 150 / 0.3048);
    addPhoto(table, "/photo/low.jpg", -33.5, -70.25, -5.46 / 0.3048);
    addPhoto(table, "-P.jpg", 10, 0);
    table.setTimeMs(0, FieldId::VTime, *civilToMs({2024, 5, 1, 10, 0, 45, 500}));
    table.setTimeMs(1, FieldId::VTime, *civilToMs({1999, 12, 31, 23, 59, 59, 0}));
    // The whole GPS record goes first, then the new one is written.
    EXPECT_THAT(TagWriter::arguments(table, 0),
                ElementsAre("-overwrite_original", "-P", "-v0", "-GPS:all=", "-XMP-exif:GPS*=",
                            "-GPS:GPSLatitudeRef=N", "-GPS:GPSLatitude=dd/55,mm/45,ss/20.8800",
                            "-GPS:GPSLongitudeRef=E", "-GPS:GPSLongitude=dd/37,mm/37,ss/2.2800",
                            "-GPS:GPSAltitude=150.0", "-GPS:GPSAltitudeRef#=0", "-GPS:GPSDateStamp=2024:05:01",
                            "-GPS:GPSTimeStamp=10:00:45.5", "/photo/IMG_0001.JPG"));
    const auto low = TagWriter::arguments(table, 1);
    EXPECT_THAT(std::vector<std::string>(low.begin() + 5, low.end()),
                ElementsAre("-GPS:GPSLatitudeRef=S", "-GPS:GPSLatitude=dd/33,mm/30,ss/0.0000", "-GPS:GPSLongitudeRef=W",
                            "-GPS:GPSLongitude=dd/70,mm/15,ss/0.0000", "-GPS:GPSAltitude=-5.5",
                            "-GPS:GPSAltitudeRef#=1", "-GPS:GPSDateStamp=1999:12:31", "-GPS:GPSTimeStamp=23:59:59",
                            "/photo/low.jpg"));
    // No altitude on the track and no time: none written. A relative name
    // is never taken for an option.
    const auto noElev = TagWriter::arguments(table, 2);
    EXPECT_EQ(noElev.size(), 10u);
    EXPECT_EQ(noElev[8], "-GPS:GPSLongitude=dd/0,mm/0,ss/0.0000");
    EXPECT_EQ(noElev[9], "./-P.jpg");
    // The XMP file's record, with the time as XMP keeps it; the photograph's
    // own GPS group is no business of a write beside it.
    EXPECT_THAT(TagWriter::sidecarArguments(table, 0, "/photo/IMG_0001.xmp"),
                ElementsAre("-overwrite_original", "-v0", "-XMP-exif:GPS*=",
                            "-XMP-exif:GPSLatitude=55 45 20.8800 N", "-XMP-exif:GPSLongitude=37 37 2.2800 E",
                            "-XMP-exif:GPSAltitude=150.0", "-XMP-exif:GPSAltitudeRef#=0",
                            "-XMP-exif:GPSDateTime=2024:05:01 10:00:45.5Z", "/photo/IMG_0001.xmp"));
    EXPECT_THAT(TagWriter::clearArguments("/photo/low.jpg", true),
                ElementsAre("-overwrite_original", "-P", "-v0", "-GPS:all=", "-XMP-exif:GPS*=", "/photo/low.jpg"));
    EXPECT_THAT(TagWriter::clearArguments("/photo/low.xmp", false),
                ElementsAre("-overwrite_original", "-v0", "-XMP-exif:GPS*=", "/photo/low.xmp"));
}

TEST(TagWriter, AltitudeToATenthOfAMetre) {
    DataTable table;
    for (double feet : {0.0, 1.0, -1.0, 0.15, 0.17, 328.0, 29029.0, -1401.0}) addPhoto(table, "/p.jpg", 1, 1, feet);
    std::vector<std::string> altitudes;
    for (std::size_t row = 0; row < table.rowCount(); ++row)
        altitudes.push_back(argument(TagWriter::arguments(table, row), "-GPS:GPSAltitude="));
    EXPECT_THAT(altitudes, ElementsAre("-GPS:GPSAltitude=0.0", "-GPS:GPSAltitude=0.3", "-GPS:GPSAltitude=-0.3",
                                       "-GPS:GPSAltitude=0.0", "-GPS:GPSAltitude=0.1", "-GPS:GPSAltitude=100.0",
                                       "-GPS:GPSAltitude=8848.0", "-GPS:GPSAltitude=-427.0"));
    // A height that rounds to 0 is not below sea level.
    addPhoto(table, "/p.jpg", 1, 1, -0.1);
    EXPECT_EQ(argument(TagWriter::arguments(table, table.rowCount() - 1), "-GPS:GPSAltitudeRef"),
              "-GPS:GPSAltitudeRef#=0");
}

TEST(TagWriter, JobsRefuseWhatExifToolCannotBeGiven) {
    DataTable table;
    addPhoto(table, "/p/line\nbreak.jpg", 1, 1);
    addPhoto(table, "/p/line\nbreak $5.jpg", 1, 1);
    addPhoto(table, "/p/far.jpg", 91, 1);
    EXPECT_FALSE(TagWriter::job(table, 0).refusal);
    EXPECT_THAT(TagWriter::job(table, 1).refusal.value_or(""), ::testing::HasSubstr("line break"));
    EXPECT_THAT(TagWriter::job(table, 2).refusal.value_or(""), ::testing::HasSubstr("outside the range"));
    EXPECT_EQ(TagWriter::job(table, 1).fileName, "/p/line\nbreak $5.jpg");
}

// An altitude no GPS can give (one crashed the writer, a smaller one came out
// as 4294967295 m) is left out with a note; the position is still written,
// here by the real ExifTool.
TEST(TagWriter, AnAltitudeBeyondAnyRealOneIsLeftOutWithANote) {
    const std::string exifTool = std::string(GEOVANTA_BIN_DIR) + "/exiftool";
    if (!std::filesystem::exists(exifTool)) GTEST_SKIP() << "no exiftool beside the programs";
    test::TempDir dir;
    const std::string photo = dir.file("IMG_0001.JPG");
    ASSERT_EQ(std::system(("convert -size 64x48 xc:gray '" + photo + "'").c_str()), 0);
    DataTable table;
    for (double feet : {1e20, -5e17 / 0.3048, std::numeric_limits<double>::quiet_NaN()})
        addPhoto(table, photo, 55.5, 37.25, feet);
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        const TagJob job = TagWriter::job(table, row);
        EXPECT_EQ(argument(job.args, "-GPS:GPSAltitude"), "") << "no altitude arguments, row " << row;
        EXPECT_EQ(job.notes.size(), 1u);
    }
    EXPECT_EQ(TagWriter::job(table, 0).notes.at(0),
              "\"" + photo + "\": the altitude 3.048E19 m cannot be written and was left out; "
              "latitude and longitude were written");

    ExifToolSessions sessions(exifTool, KeptProcess::maker());
    TagWriter writer(sessions);
    const auto session = sessions.open();
    const TagWriter::Result result = writer.write(*session, TagWriter::job(table, 0), {});
    EXPECT_FALSE(result.failure) << *result.failure;
    EXPECT_EQ(result.notes, TagWriter::job(table, 0).notes);
    const CommandResult tags = RunCommand(exifTool, {"-n", "-s3", "-GPSLatitude#", "-GPSLongitude#", "-GPSAltitude#", photo});
    EXPECT_THAT(tags.outputLines, ElementsAre("55.5", "37.25"));
}

}  // namespace
}  // namespace geovanta

namespace geovanta {
namespace {

// Names go into XMP always and into IPTC records only where the photograph
// has them, and into records read as Latin-1 only when they fit; the
// direction only on a leg walked fast enough.
TEST(TagWriter, PlaceNamesAndTravelWithThePosition) {
    DataTable table;
    test::addTrackPoint(table, 1, 0.0001);
    addPhoto(table, "legacy.jpg", 1, 0.0002);
    addPhoto(table, "cyrillic.jpg", 1, 0.0003);
    test::addTrackPoint(table, 1, 0.0101);
    for (std::size_t row : {0u, 3u}) table.setDateTime(row, FieldId::Time, 40513.0 + row * 50 / 86400.0);
    for (std::size_t row : {1u, 2u}) table.setDateTime(row, FieldId::Time, 40513.0 + 10 / 86400.0);
    auto name = [&](std::size_t row, const char* city, IptcKind iptc) {
        PhotoFacts facts;
        facts.iptc = iptc;
        facts.place.set(PlacePart::City, city, NameSource::Lookup);
        facts.place.set(PlacePart::CountryCode, "IS", NameSource::Lookup);
        table.setPhotoFacts(row, facts);
    };
    name(1, "Reykjavík\nline", IptcKind::Legacy);
    name(2, "Рейкьявик", IptcKind::Legacy);
    TagContent content;
    content.placeNames = true;
    auto tail = [&](std::size_t row, const TagContent& c) {
        std::vector<std::string> names;
        for (const std::string& arg : TagWriter::arguments(table, row, c))
            if (arg.find("photoshop:") != std::string::npos || arg.find("iptcCore:") != std::string::npos ||
                arg.rfind("-IPTC:", 0) == 0)
                names.push_back(arg);
        return names;
    };
    EXPECT_THAT(tail(1, content), ElementsAre("-XMP-photoshop:City=Reykjavík line", "-IPTC:City=Reykjavík line",
                                              "-XMP-iptcCore:CountryCode=IS", "-IPTC:Country-PrimaryLocationCode=IS"));
    EXPECT_THAT(tail(2, content), ElementsAre("-XMP-photoshop:City=Рейкьявик", "-XMP-iptcCore:CountryCode=IS",
                                              "-IPTC:Country-PrimaryLocationCode=IS"));
    name(2, "Рейкьявик", IptcKind::Utf8);
    EXPECT_EQ(tail(2, content).size(), 4u);
    const auto sidecar = TagWriter::sidecarArguments(table, 1, "legacy.xmp", content);
    EXPECT_THAT(std::vector<std::string>(sidecar.end() - 3, sidecar.end()),
                ElementsAre("-XMP-photoshop:City=Reykjavík line", "-XMP-iptcCore:CountryCode=IS",
                            ::testing::EndsWith("/legacy.xmp")));

    // Due east 0.01° in 150 s; the photographs lie on that leg once the
    // pass's rules place them there.
    TagContent travel;
    travel.direction = true;
    CalcPositions(table, travel.params);
    std::vector<std::string> moving;
    for (const std::string& arg : TagWriter::arguments(table, 1, travel))
        if (arg.find("GPSImg") != std::string::npos || arg.find("GPSSpeed") != std::string::npos)
            moving.push_back(arg);
    const double kmh = greatCircleMetres(1, 0.0001, 1, 0.0101) / 150 * 3.6;
    EXPECT_THAT(moving, ElementsAre("-GPS:GPSImgDirectionRef=T", "-GPS:GPSImgDirection=90.00", "-GPS:GPSSpeedRef=K",
                                    "-GPS:GPSSpeed=" + formatFixed(kmh, 2)));
    // Standing still: nothing of a direction.
    for (std::size_t row : {0u, 3u}) table.setReal(row, FieldId::Lon, 0.0001);
    CalcPositions(table, travel.params);
    EXPECT_EQ(TagWriter::arguments(table, 1, travel).size(), TagWriter::arguments(table, 1).size());
}

// The zone is written only where the pass found it on the track, and only
// into the photograph: OffsetTime kept where the file already has one.
TEST(TagWriter, ZoneOfACameraOnLocalTime) {
    DataTable table;
    addPhoto(table, "/photo/berlin.jpg", 52.5, 13.4);
    addPhoto(table, "/photo/delhi.jpg", 28.6, 77.2);
    addPhoto(table, "/photo/unsure.jpg", 50, 10);
    table.setLocalZone(0, LocalZone{LocalZone::Status::Found, "Europe/Berlin", 7200});
    table.setLocalZone(1, LocalZone{LocalZone::Status::Found, "America/St_Johns", -(2 * 3600 + 1800)});
    table.setLocalZone(2, LocalZone{LocalZone::Status::NotOnTrack, "Europe/Berlin", 3600});

    TagJob berlin = TagWriter::job(table, 0);
    TagWriter::addZone(berlin, table, 0);
    EXPECT_THAT(std::vector<std::string>(berlin.args.end() - 4, berlin.args.end()),
                ElementsAre("-OffsetTimeOriginal=+02:00", "-OffsetTime-=", "-OffsetTime=+02:00", "/photo/berlin.jpg"));
    TagJob west = TagWriter::job(table, 1);
    TagWriter::addZone(west, table, 1);
    EXPECT_EQ(west.args[west.args.size() - 4], "-OffsetTimeOriginal=-02:30");

    for (std::size_t row : {0u, 2u}) {
        TagJob job = TagWriter::job(table, row, row == 0 ? Sidecars::BaseName : Sidecars::None);
        const std::vector<std::string> before = job.args;
        TagWriter::addZone(job, table, row);
        EXPECT_EQ(job.args, before) << row;
    }
}

}  // namespace
}  // namespace geovanta

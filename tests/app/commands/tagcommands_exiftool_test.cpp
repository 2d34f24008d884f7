// The tag-writing commands with the real ExifTool: it writes JPEGs made by
// ImageMagick, and reads them back.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "output/photorows.h"
#include "binding/calcpositions.h"
#include "input/photoscanner.h"
#include "input/trackreader.h"
#include "output/exiftoolsession.h"
#include "output/folderlock.h"
#include "output/tagwriterpool.h"
#include "runtime/keptprocess.h"
#include "runtime/processrunner.h"
#include "support/tabletagwrite.h"
#include "support/exiftooltags.h"
#include "support/fakeconsole.h"
#include "support/fakedialogs.h"
#include "support/tempdir.h"
#include "table/datatable.h"
#include "table/datetime.h"
#include "support/language.h"

namespace geovanta {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using test::addPhoto;
using ::testing::ElementsAre;
using test::kExifTool;
using test::number;
using test::readFile;
using test::readTags;

// The tags that writing GPS tags must leave alone: not GPS, not the file's
// own size and dates.
std::map<std::string, std::string> otherTags(std::map<std::string, std::string> tags) {
    std::erase_if(tags, [](const auto& t) {
        const std::string& key = t.first;
        return key.rfind("GPS:", 0) == 0 || key.rfind("System:", 0) == 0 || key.rfind("Composite:GPS", 0) == 0;
    });
    return tags;
}

// Every JPEG segment except APP1 (where EXIF lives), then the scan data.
std::string imageSegments(const std::string& jpeg) {
    std::string kept;
    std::size_t pos = 2;
    while (pos + 4 <= jpeg.size() && static_cast<unsigned char>(jpeg[pos]) == 0xFF) {
        const auto marker = static_cast<unsigned char>(jpeg[pos + 1]);
        if (marker == 0xDA) return kept + jpeg.substr(pos);
        const std::size_t length = (static_cast<unsigned char>(jpeg[pos + 2]) << 8) | static_cast<unsigned char>(jpeg[pos + 3]);
        if (marker != 0xE1) kept += jpeg.substr(pos, length + 2);
        pos += length + 2;
    }
    return "not a JPEG";
}

// Real ExifTool sessions that tell the test about each command first, on
// the writer's thread.
class HookedSessions : public SessionFactory {
public:
    explicit HookedSessions(std::string program) : real_(std::move(program), KeptProcess::maker()) {}
    std::function<void(int)> onRun;
    std::atomic<int> calls{0};

    std::unique_ptr<ToolSession> open() override { return std::make_unique<Hooked>(*this, real_.open()); }
    const std::string& program() const override { return real_.program(); }

private:
    class Hooked : public ToolSession {
    public:
        Hooked(HookedSessions& owner, std::unique_ptr<ToolSession> inner) : owner_(owner), inner_(std::move(inner)) {}
        CommandResult execute(const std::vector<std::string>& args, const CommandLimits& limits) override {
            const int call = ++owner_.calls;
            if (owner_.onRun) owner_.onRun(call);
            return inner_->execute(args, limits);
        }
        CommandResult ready(const CommandLimits& limits) override { return inner_->ready(limits); }
        bool alive() const override { return inner_->alive(); }

    private:
        HookedSessions& owner_;
        std::unique_ptr<ToolSession> inner_;
    };
    ExifToolSessions real_;
};

// One second of arc in degrees.
constexpr double kArcSecond = 1.0 / 3600;
// Feet that are exactly `metres` in the table's conversion.
double feet(double metres) { return metres / 0.3048; }

class TagCommandsExifToolTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        base_ = new test::TempDir;
        const std::string jpeg = base_->file("base.jpg");
        // A grey camera-like photo with a few EXIF tags that must survive.
        ASSERT_EQ(std::system(("convert -size 64x48 xc:gray '" + jpeg + "'").c_str()), 0);
        const CommandResult r = RunCommand(kExifTool, {"-overwrite_original", "-Make=Geovanta", "-Model=Test camera",
                                                       "-DateTimeOriginal=2024:05:01 10:00:00",
                                                       "-ImageDescription=before", jpeg});
        ASSERT_TRUE(r.succeeded());
    }
    static void TearDownTestSuite() {
        delete base_;
        base_ = nullptr;
    }
    void SetUp() override {
        if (!fs::exists(kExifTool)) GTEST_SKIP() << "no exiftool beside the programs";
    }

    std::string photo(const std::string& name) {
        const std::string path = dir.file(name);
        fs::copy_file(base_->file("base.jpg"), path);
        return path;
    }
    bool leftoversIn(const fs::path& folder) {
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().string().find("_exiftool_tmp") != std::string::npos) return true;
        return false;
    }

    static test::TempDir* base_;
    test::TempDir dir;
    DataTable table;
    test::FakeConsole console;
    HookedSessions sessions{kExifTool};
    TagWriter writerTool{sessions};
    test::TableTagWrite writer{table, console, writerTool};
    test::FakeDialogs dialogs;
};
test::TempDir* TagCommandsExifToolTest::base_ = nullptr;

TEST_F(TagCommandsExifToolTest, WorkedExampleChangesNothingButTheGpsTags) {
    geovanta::test::LanguageScope russian(Language::Russian);
    const std::string file = photo("IMG_0001.JPG");
    const std::string before = readFile(file);
    const auto tagsBefore = readTags(file);
    addPhoto(table, file, 55.7558, 37.6173, feet(150));
    table.moveTo(0);
    writer.writeCurrentPhoto(dialogs);

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Plain);
    EXPECT_EQ(dialogs.messages[0].text, "Координаты записаны");
    ASSERT_EQ(console.infoEntries.size(), 1u);
    EXPECT_THAT(console.infoEntries[0], ::testing::Contains(HasSubstr("1 image files updated")));

    const auto tags = readTags(file);
    EXPECT_EQ(tags.at("GPS:GPSLatitudeRef"), "N");
    EXPECT_NEAR(number(tags, "GPS:GPSLatitude"), 55.7558, 0.001 * kArcSecond);
    EXPECT_EQ(tags.at("GPS:GPSLongitudeRef"), "E");
    EXPECT_NEAR(number(tags, "GPS:GPSLongitude"), 37.6173, 0.001 * kArcSecond);
    EXPECT_EQ(number(tags, "GPS:GPSAltitude"), 150);
    EXPECT_EQ(number(tags, "Composite:GPSAltitude"), 150);

    EXPECT_EQ(otherTags(tags), otherTags(tagsBefore));
    EXPECT_EQ(tags.at("IFD0:Make"), "Geovanta");
    const std::string after = readFile(file);
    EXPECT_NE(after, before);
    EXPECT_EQ(imageSegments(after), imageSegments(before));
    EXPECT_FALSE(fs::exists(file + "_original"));
}

TEST_F(TagCommandsExifToolTest, HemispheresRoundingAndAltitudes) {
    const std::string southWest = photo("south-west.jpg");
    const std::string sixty = photo("sixty.jpg");
    const std::string greenwich = photo("greenwich.jpg");
    const std::string low = photo("below sea.jpg");
    const std::string noElev = photo("no-elev.jpg");
    const std::string unplaced = photo("unplaced.jpg");
    const std::string unplacedBefore = readFile(unplaced);
    addPhoto(table, southWest, -33.5, -70.25, feet(10.24));
    addPhoto(table, sixty, 48.99999999, 10, feet(0.04));
    addPhoto(table, greenwich, 51.5, 0, feet(20.36));
    addPhoto(table, low, 31.5, 35.5, feet(-5.46));
    addPhoto(table, noElev, 10, 20);
    addPhoto(table, unplaced, 0, 0, feet(7));
    writer.writeAllPhotos(dialogs);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(sessions.calls, 5);
    EXPECT_THAT(console.infoEntries.back(), ElementsAre("GPS tags: 5 written, 1 not placed, 0 failed"));

    auto tags = readTags(southWest);
    EXPECT_NEAR(number(tags, "Composite:GPSLatitude"), -33.5, 1e-12);
    EXPECT_NEAR(number(tags, "Composite:GPSLongitude"), -70.25, 1e-12);
    EXPECT_EQ(tags.at("GPS:GPSLongitudeRef"), "W");
    EXPECT_EQ(number(tags, "Composite:GPSAltitude"), 10.2);
    // 48 deg 59' 59.99996" rounds to 60.0000 seconds, stored as given.
    tags = readTags(sixty);
    EXPECT_NEAR(number(tags, "Composite:GPSLatitude"), 48.99999999, 0.001 * kArcSecond);
    EXPECT_EQ(number(tags, "Composite:GPSAltitude"), 0);
    EXPECT_EQ(number(tags, "GPS:GPSAltitudeRef"), 0);
    tags = readTags(greenwich);
    EXPECT_EQ(number(tags, "GPS:GPSLongitude"), 0);
    EXPECT_EQ(tags.at("GPS:GPSLongitudeRef"), "E");
    EXPECT_EQ(number(tags, "Composite:GPSAltitude"), 20.4);
    tags = readTags(low);
    EXPECT_EQ(number(tags, "Composite:GPSAltitude"), -5.5);
    EXPECT_EQ(number(tags, "GPS:GPSAltitudeRef"), 1);
    tags = readTags(noElev);
    EXPECT_EQ(number(tags, "Composite:GPSLatitude"), 10);
    EXPECT_EQ(tags.count("GPS:GPSAltitude"), 0u);
    EXPECT_EQ(readFile(unplaced), unplacedBefore);

    // Written again above sea level, the photo must not keep reading below it.
    table.moveTo(3);
    table.setReal(3, FieldId::Elev, feet(150));
    writer.writeCurrentPhoto(dialogs);
    EXPECT_EQ(number(readTags(low), "Composite:GPSAltitude"), 150);
}

// A new position replaces the whole GPS record, in the photograph's EXIF and
// XMP data alike: no altitude, time or direction of the earlier one stays.
TEST_F(TagCommandsExifToolTest, ARewriteLeavesNoTagOfAnEarlierPosition) {
    const std::string file = photo("IMG_0002.JPG");
    ASSERT_TRUE(RunCommand(kExifTool, {"-overwrite_original", "-GPSLatitude=45", "-GPSLatitudeRef=N",
                                       "-GPSLongitude=7", "-GPSLongitudeRef=E", "-GPSAltitude=999",
                                       "-GPSDateStamp=2001:01:01", "-GPSTimeStamp=01:02:03", "-GPSImgDirection=100",
                                       "-XMP-exif:GPSLatitude=45 0 0 N", "-XMP-exif:GPSDateTime=2001:01:01 01:02:03Z",
                                       file})
                    .succeeded());
    const auto before = readTags(file);
    ASSERT_EQ(number(before, "GPS:GPSAltitude"), 999);
    addPhoto(table, file, 10, 20);
    table.setTimeMs(0, FieldId::VTime, *civilToMs({2024, 5, 1, 10, 0, 45, 250}));
    EXPECT_TRUE(writer.writeAll().allWritten());

    const auto tags = readTags(file);
    EXPECT_EQ(number(tags, "Composite:GPSLatitude"), 10);
    EXPECT_EQ(number(tags, "Composite:GPSLongitude"), 20);
    EXPECT_EQ(tags.at("GPS:GPSDateStamp"), "2024:05:01");
    EXPECT_EQ(tags.at("GPS:GPSTimeStamp"), "10:00:45.25");
    std::vector<std::string> stale;
    for (const auto& [key, value] : tags)
        if (key.find("GPSAltitude") != std::string::npos || key.find("GPSImgDirection") != std::string::npos ||
            key.rfind("XMP-exif:GPS", 0) == 0)
            stale.push_back(key + "=" + value);
    EXPECT_THAT(stale, ::testing::IsEmpty());
    // The rest of the photograph is as it was.
    auto others = [](std::map<std::string, std::string> t) {
        // XMP data that held nothing but the position goes with it.
        std::erase_if(t, [](const auto& tag) {
            return tag.first.rfind("XMP-exif:GPS", 0) == 0 || tag.first == "XMP-x:XMPToolkit";
        });
        return otherTags(t);
    };
    EXPECT_EQ(others(tags), others(before));
}

// Photographs placed by the binding pass on a track, against copies that
// ExifTool places itself from the same track as GPX.
TEST_F(TagCommandsExifToolTest, PositionsAgreeWithTheTableAndWithExifToolsOwnGeotagging) {
    fs::create_directory(dir.file("photos"));
    fs::create_directory(dir.file("copies"));
    std::ofstream plt(dir.file("track.plt"), std::ios::binary);
    std::ofstream gpx(dir.file("track.gpx"), std::ios::binary);
    plt << "OziExplorer Track Point File Version 2.1\r\nWGS 84\r\nAltitude is in Feet\r\nReserved 3\r\n"
           "0,2,255,Walk,0,0,2,8421376\r\n12\r\n";
    gpx << "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"test\" "
           "xmlns=\"http://www.topografix.com/GPX/1/1\"><trk><trkseg>\n";
    // Twelve points ten seconds apart from 2024-05-01 10:00:00, zig-zagging
    // across both hemispheres' signs of longitude, and climbing.
    for (int i = 0; i < 12; ++i) {
        char lat[32], lon[32], elev[32], days[32], time[32];
        std::snprintf(lat, sizeof lat, "%.7f", 51.4 + i * 0.0012345 + (i % 2) * 0.0003);
        std::snprintf(lon, sizeof lon, "%.7f", -0.0021 + i * 0.0004567);
        std::snprintf(elev, sizeof elev, "%.1f", 100 + i * 13.7 - (i % 3) * 4.2);
        std::snprintf(days, sizeof days, "%.10f", 45413 + (36000 + i * 10) / 86400.0);
        std::snprintf(time, sizeof time, "2024-05-01T10:%02d:%02dZ", i * 10 / 60, i * 10 % 60);
        plt << lat << "," << lon << ",0," << elev << "," << days << ",,\r\n";
        gpx << "<trkpt lat=\"" << lat << "\" lon=\"" << lon << "\"><ele>" << std::strtod(elev, nullptr) * 0.3048
            << "</ele><time>" << time << "</time></trkpt>\n";
    }
    gpx << "</trkseg></trk></gpx>\n";
    plt.close();
    gpx.close();
    std::vector<std::string> names;
    for (int s = 3; s < 110; s += 7) {
        const std::string name = "IMG_" + std::to_string(s) + ".JPG";
        const std::string file = dir.file("photos/" + name);
        fs::copy_file(base_->file("base.jpg"), file);
        char stamp[40];
        std::snprintf(stamp, sizeof stamp, "-DateTimeOriginal=2024:05:01 10:%02d:%02d", s / 60, s % 60);
        ASSERT_TRUE(RunCommand(kExifTool, {"-overwrite_original", stamp, file}).succeeded());
        fs::copy_file(file, dir.file("copies/" + name));
        names.push_back(name);
    }

    uint16_t tracks = 0;
    ASSERT_TRUE(TrackReader(table, tracks).load(dir.file("track.plt")).ok());
    ASSERT_TRUE(LoadFotos(table, dir.file("photos")).ok());
    CalcPositions(table, BindingParams{});
    const auto batch = writer.writeAll();
    EXPECT_EQ(batch.written, static_cast<int>(names.size()));
    EXPECT_TRUE(batch.allWritten());
    // ExifTool reads the photographs' times as UTC here: it runs with no
    // environment, so without a time zone.
    const CommandResult geotag =
        RunCommand(kExifTool, {"-overwrite_original", "-P", "-geotag", dir.file("track.gpx"), dir.file("copies")});
    ASSERT_TRUE(geotag.succeeded()) << (geotag.errorLines.empty() ? "" : geotag.errorLines.back());

    int compared = 0;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        if (!table.isPhoto(row)) continue;
        const std::string file(table.text(row, FieldId::FileName));
        const auto ours = readTags(file);
        const auto theirs = readTags(dir.file("copies/" + fs::path(file).filename().string()));
        for (const auto& [key, field] : {std::pair{"Composite:GPSLatitude", FieldId::Lat},
                                         std::pair{"Composite:GPSLongitude", FieldId::Lon}}) {
            EXPECT_NEAR(number(ours, key), table.real(row, field), 0.001 * kArcSecond) << file << " " << key;
            EXPECT_NEAR(number(ours, key), number(theirs, key), 0.01 * kArcSecond) << file << " " << key;
        }
        EXPECT_NEAR(number(ours, "Composite:GPSAltitude"), table.real(row, FieldId::Elev) * 0.3048, 0.05 + 1e-9)
            << file;
        ++compared;
    }
    EXPECT_EQ(compared, static_cast<int>(names.size()));
}

TEST_F(TagCommandsExifToolTest, AbortInTheMiddleOfFiftyLeavesEachPhotoWholeOrUntouched) {
    constexpr int kPhotos = 50;
    constexpr int kAbortAt = 25;
    std::vector<std::string> files, before;
    for (int i = 0; i < kPhotos; ++i) {
        files.push_back(photo("p" + std::to_string(i) + ".jpg"));
        before.push_back(readFile(files.back()));
        addPhoto(table, files.back(), 55 + i / 100.0, 37 + i / 1000.0, feet(100 + i));
    }
    sessions.onRun = [this](int call) {
        if (call == kAbortAt) console.pressAbort();
    };
    const auto batch = writer.writeAll();
    EXPECT_TRUE(batch.aborted);
    EXPECT_TRUE(batch.failures.empty());
    EXPECT_FALSE(console.abortable());
    // Nothing starts once the abort is seen: besides the photograph under
    // which it came, only those the other writers had at that moment.
    const int writers = TagWriterPool::writersFor(kPhotos);
    EXPECT_LE(sessions.calls, kAbortAt + writers - 1);
    EXPECT_EQ(batch.written, sessions.calls);
    EXPECT_EQ(batch.notTried, kPhotos - sessions.calls);
    int written = 0;
    for (int i = 0; i < kPhotos; ++i) {
        if (readFile(files[i]) == before[i]) continue;
        const auto tags = readTags(files[i]);
        EXPECT_NEAR(number(tags, "Composite:GPSLatitude"), 55 + i / 100.0, 1e-9) << files[i];
        EXPECT_NEAR(number(tags, "Composite:GPSLongitude"), 37 + i / 1000.0, 1e-9) << files[i];
        EXPECT_EQ(number(tags, "Composite:GPSAltitude"), 100 + i) << files[i];
        ++written;
    }
    EXPECT_EQ(written, batch.written);
    EXPECT_FALSE(leftoversIn(dir.path()));
}

TEST_F(TagCommandsExifToolTest, FailuresAreReportedAndWriteNothing) {
    const std::string good = photo("good.jpg");
    const std::string goodBefore = readFile(good);
    const std::string broken = dir.file("broken.jpg");
    std::ofstream(broken) << "this is no photograph\n";
    addPhoto(table, good, 55, 37, feet(1));
    addPhoto(table, broken, 55, 37, feet(1));

    HookedSessions missingSessions(dir.file("exiftool"));
    TagWriter missingTool(missingSessions);
    test::TableTagWrite missing(table, console, missingTool);
    missing.writeAllPhotos(dialogs);
    EXPECT_EQ(readFile(good), goodBefore);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Failure);
    EXPECT_THAT(dialogs.messages[0].text, HasSubstr("GPS tags: 0 written, 0 not placed, 2 failed:"));
    EXPECT_THAT(dialogs.messages[0].text, HasSubstr("could not start " + dir.file("exiftool")));
    EXPECT_EQ(console.errors.size(), 2u);

    // The real program refuses a file that is not a photograph; the good one
    // is still written.
    dialogs.messages.clear();
    writer.writeAllPhotos(dialogs);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_THAT(dialogs.messages[0].text, HasSubstr("GPS tags: 1 written, 0 not placed, 1 failed:\n\"" + broken +
                                                    "\": " + kExifTool + " exited with code 1 (Error: "));
    EXPECT_EQ(number(readTags(good), "Composite:GPSLatitude"), 55);

    dialogs.messages.clear();
    table.moveTo(1);
    writer.writeCurrentPhoto(dialogs);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Failure);
    EXPECT_THAT(dialogs.messages[0].text, HasSubstr("Cannot write the GPS tags of \"" + broken + "\""));
}

TEST_F(TagCommandsExifToolTest, NamesWithQuotesBlanksCyrillicAndRelativeNames) {
    const std::string odd = photo("my \"best\" photo's -P 1.jpg");
    const std::string cyrillic = photo("Фото 2.jpg");
    photo("-#1.jpg");
    photo("# 2.jpg");
    addPhoto(table, odd, 45.25, 7.5, feet(300));
    addPhoto(table, cyrillic, -45.25, -7.5, feet(300));
    // Relative names that ExifTool would take for an option or a comment.
    addPhoto(table, "-#1.jpg", 1.5, 2.5);
    addPhoto(table, "# 2.jpg", 3.5, 4.5);
    const fs::path cwd = fs::current_path();
    fs::current_path(dir.path());
    writer.writeAllPhotos(dialogs);
    fs::current_path(cwd);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(number(readTags(odd), "Composite:GPSLatitude"), 45.25);
    EXPECT_EQ(number(readTags(cyrillic), "Composite:GPSLongitude"), -7.5);
    EXPECT_EQ(number(readTags(dir.file("-#1.jpg")), "Composite:GPSLatitude"), 1.5);
    EXPECT_EQ(number(readTags(dir.file("# 2.jpg")), "Composite:GPSLatitude"), 3.5);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 4);
}

// An "exiftool" that runs the real one, except that it kills itself at the
// last moment of writing "p 3.jpg", once: the new photograph is complete
// beside the old one and only the rename over it is missing.
std::string killingExifTool(const test::TempDir& tools) {
    const std::string real = fs::canonical(kExifTool).string();
    const std::string marker = tools.file("killed");
    return tools.script("exiftool",
                        "exec /usr/bin/perl -e 'BEGIN { *CORE::GLOBAL::rename = sub { "
                        "if ($_[1] =~ m{/p 3\\.jpg$} && !-e \"" + marker + "\") { "
                        "open(my $f, \">\", \"" + marker + "\"); close $f; kill 9, $$ } "
                        "CORE::rename($_[0], $_[1]) } } "
                        "$0 = shift; do $0; die $@ if $@' '" + real + "' \"$@\"\n");
}

TEST_F(TagCommandsExifToolTest, ExifToolKilledMidBatchIsReportedAndTheRestAreWritten) {
    if (!fs::exists("/usr/bin/perl")) GTEST_SKIP() << "no perl";
    test::TempDir tools;
    const std::string program = killingExifTool(tools);
    std::vector<std::string> files, before;
    for (int i = 1; i <= 5; ++i) {
        files.push_back(photo("p " + std::to_string(i) + ".jpg"));
        before.push_back(readFile(files.back()));
        addPhoto(table, files.back(), 40 + i, 30, feet(10 * i));
    }
    HookedSessions killing(program);
    TagWriter killingTool(killing);
    const auto batch = test::TableTagWrite(table, console, killingTool).writeAll();
    EXPECT_EQ(batch.attempted, 5);
    EXPECT_EQ(batch.written, 4);
    ASSERT_EQ(batch.failures.size(), 1u);
    EXPECT_EQ(batch.failures[0], "\"" + files[2] + "\": " + program + " crashed");
    EXPECT_TRUE(fs::exists(tools.file("killed")));

    // The killed one is byte for byte what it was, with nothing left beside
    // it; the others, before and after, carry their whole position.
    EXPECT_EQ(readFile(files[2]), before[2]);
    for (int i : {0, 1, 3, 4}) {
        const auto tags = readTags(files[i]);
        EXPECT_EQ(number(tags, "Composite:GPSLatitude"), 41 + i) << files[i];
        EXPECT_EQ(number(tags, "Composite:GPSLongitude"), 30) << files[i];
        EXPECT_EQ(number(tags, "Composite:GPSAltitude"), 10 * (i + 1)) << files[i];
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 5);

    // Nothing stands in the way of writing it again.
    table.moveTo(2);
    writer.writeCurrentPhoto(dialogs);
    EXPECT_EQ(number(readTags(files[2]), "Composite:GPSLatitude"), 43);
}

// ExifTool's temporary file beside a photograph, left by a write that was cut
// short, is removed only while this program holds the folder's lock: then no
// other write of it is under way there.
TEST_F(TagCommandsExifToolTest, ALeftoverIsRemovedOnlyUnderTheFoldersLock) {
    const std::string file = photo("busy.jpg");
    const std::string before = readFile(file);
    std::ofstream(file + "_exiftool_tmp") << "partial";
    addPhoto(table, file, 50, 10);
    std::optional<FolderLock> other(dir.path().string());
    ASSERT_EQ(other->state(), FolderLock::State::Held);

    // The single photograph does not wait.
    table.moveTo(0);
    writer.writeCurrentPhoto(dialogs);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              "Cannot write the GPS tags of \"" + file + "\": another write of GPS tags is running in its folder.");
    // The batch waits, and an abort while it waits writes nothing.
    console.pressAbort();
    auto batch = writer.writeAll();
    EXPECT_TRUE(batch.aborted);
    EXPECT_EQ(batch.notTried, 1);
    const std::string waiting = "another write of GPS tags is running in \"" + dir.path().string() +
                                "\"; waiting for it to end";
    EXPECT_THAT(console.notices, ElementsAre(waiting));
    EXPECT_EQ(sessions.calls, 0);
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(readFile(file + "_exiftool_tmp"), "partial");

    // Once the other write ends, the batch goes on.
    console.notices.clear();
    console.onNotice = [&](const std::string& line) {
        if (line == waiting) other.reset();
    };
    batch = writer.writeAll();
    EXPECT_EQ(batch.written, 1);
    EXPECT_THAT(console.notices,
                ElementsAre(waiting, "removed \"" + file + "_exiftool_tmp\", left by an earlier write that was cut short"));
    EXPECT_FALSE(fs::exists(file + "_exiftool_tmp"));
    EXPECT_EQ(number(readTags(file), "Composite:GPSLatitude"), 50);
}

}  // namespace
}  // namespace geovanta

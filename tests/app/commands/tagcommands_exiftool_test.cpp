// The tag-writing commands with real child processes: ExifTool writes JPEGs made by
// ImageMagick, and ExifTool reads them back.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "output/photorows.h"
#include "runtime/processrunner.h"
#include "app/commands/tagcommands.h"
#include "support/fakeconsole.h"
#include "support/fakedialogs.h"
#include "support/tempdir.h"
#include "table/datatable.h"

namespace geovanta {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using test::addPhoto;
using test::feetFor;

const std::string kExifTool = std::string(GEOVANTA_BIN_DIR) + "/exiftool";

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every tag ExifTool finds, as "Group:Tag" -> value, numbers unconverted.
std::map<std::string, std::string> readTags(const std::string& file) {
    std::map<std::string, std::string> tags;
    const CommandResult r = RunCommand(kExifTool, {"-a", "-G1", "-n", "-args", "--", file});
    for (const std::string& line : r.outputLines) {
        const auto eq = line.find('=');
        if (line.size() > 1 && line[0] == '-' && eq != std::string::npos)
            tags[line.substr(1, eq - 1)] = line.substr(eq + 1);
    }
    return tags;
}

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

double number(const std::map<std::string, std::string>& tags, const std::string& key) {
    const auto it = tags.find(key);
    return it == tags.end() ? NAN : std::strtod(it->second.c_str(), nullptr);
}

// Passes calls to the real runner, telling the test about each one first.
class HookedRunner : public CommandRunner {
public:
    std::function<void(int)> onRun;
    int calls = 0;
    CommandResult run(const std::string& program, const std::vector<std::string>& args) override {
        ++calls;
        if (onRun) onRun(calls);
        return RunCommand(program, args);
    }
};

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

    static test::TempDir* base_;
    test::TempDir dir;
    DataTable table;
    test::FakeConsole console;
    HookedRunner runner;
    test::FakeDialogs dialogs;
};
test::TempDir* TagCommandsExifToolTest::base_ = nullptr;

TEST_F(TagCommandsExifToolTest, WorkedExampleChangesNothingButTheGpsTags) {
    const std::string file = photo("IMG_0001.JPG");
    const std::string before = readFile(file);
    const auto tagsBefore = readTags(file);
    addPhoto(table, file, 55.7558, 37.6173, feetFor(150));
    TagWriter writerTool(runner, kExifTool);
    TagCommands writer(table, console, writerTool);
    table.moveTo(0);
    writer.writeCurrentPhoto(dialogs);

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Plain);
    EXPECT_EQ(dialogs.messages[0].text, "Координаты записаны");
    ASSERT_EQ(console.infoEntries.size(), 1u);
    EXPECT_THAT(console.infoEntries[0], ::testing::Contains(HasSubstr("1 image files updated")));

    const auto tags = readTags(file);
    EXPECT_EQ(tags.at("GPS:GPSLatitudeRef"), "N");
    EXPECT_NEAR(number(tags, "GPS:GPSLatitude"), 55 + 45 / 60.0 + 21 / 3600.0, 1e-9);
    EXPECT_EQ(tags.at("GPS:GPSLongitudeRef"), "E");
    EXPECT_NEAR(number(tags, "GPS:GPSLongitude"), 37 + 37 / 60.0 + 2 / 3600.0, 1e-9);
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
    addPhoto(table, southWest, -33.5, -70.25, feetFor(10));
    addPhoto(table, sixty, 48.999999, 10, feetFor(0));
    addPhoto(table, greenwich, 51.5, 0, feetFor(20));
    addPhoto(table, low, 31.5, 35.5, feetFor(-5));
    addPhoto(table, noElev, 10, 20);
    addPhoto(table, unplaced, 0, 0, feetFor(7));
    TagWriter writerTool(runner, kExifTool);
    TagCommands writer(table, console, writerTool);
    writer.writeAllPhotos(dialogs);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(runner.calls, 5);

    auto tags = readTags(southWest);
    EXPECT_EQ(number(tags, "Composite:GPSLatitude"), -33.5);
    EXPECT_EQ(number(tags, "Composite:GPSLongitude"), -70.25);
    EXPECT_EQ(tags.at("GPS:GPSLongitudeRef"), "W");
    // 48 deg 59' 60" is stored as given and reads back as 49 degrees.
    EXPECT_NEAR(number(readTags(sixty), "Composite:GPSLatitude"), 49, 1e-12);
    tags = readTags(greenwich);
    EXPECT_EQ(number(tags, "GPS:GPSLongitude"), 0);
    EXPECT_EQ(tags.at("GPS:GPSLongitudeRef"), "E");
    tags = readTags(low);
    EXPECT_EQ(number(tags, "Composite:GPSAltitude"), -5);
    EXPECT_EQ(number(tags, "GPS:GPSAltitudeRef"), 1);
    tags = readTags(noElev);
    EXPECT_EQ(number(tags, "Composite:GPSLatitude"), 10);
    EXPECT_EQ(tags.count("GPS:GPSAltitude"), 0u);
    EXPECT_EQ(readFile(unplaced), unplacedBefore);

    // Written again above sea level, the photo must not keep reading below it.
    table.moveTo(3);
    table.setReal(3, FieldId::Elev, feetFor(150));
    writer.writeCurrentPhoto(dialogs);
    EXPECT_EQ(number(readTags(low), "Composite:GPSAltitude"), 150);
}

TEST_F(TagCommandsExifToolTest, AbortDuringThirdOfTenLeavesTheRestUntouched) {
    std::vector<std::string> files, before;
    for (int i = 1; i <= 10; ++i) {
        files.push_back(photo("p" + std::to_string(i) + ".jpg"));
        before.push_back(readFile(files.back()));
        addPhoto(table, files.back(), 55 + i / 100.0, 37, feetFor(100));
    }
    runner.onRun = [this](int call) {
        if (call == 3) console.pressAbort();
    };
    TagWriter writerTool(runner, kExifTool);
    TagCommands writer(table, console, writerTool);
    const auto batch = writer.writeAll();
    EXPECT_TRUE(batch.aborted);
    EXPECT_TRUE(batch.failures.empty());
    EXPECT_TRUE(console.mainWindowEnabled);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(number(readTags(files[i]), "Composite:GPSLatitude"), 55 + (i + 1) / 100.0, 1e-3);
    for (int i = 3; i < 10; ++i) EXPECT_EQ(readFile(files[i]), before[i]) << files[i];
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().string().find("_exiftool_tmp"), std::string::npos) << entry.path();
}

TEST_F(TagCommandsExifToolTest, FailuresAreReportedAndWriteNothing) {
    const std::string good = photo("good.jpg");
    const std::string goodBefore = readFile(good);
    const std::string broken = dir.file("broken.jpg");
    std::ofstream(broken) << "this is no photograph\n";
    addPhoto(table, good, 55, 37, feetFor(1));
    addPhoto(table, broken, 55, 37, feetFor(1));

    TagWriter missingTool(runner, dir.file("exiftool"));
    TagCommands missing(table, console, missingTool);
    missing.writeAllPhotos(dialogs);
    EXPECT_EQ(readFile(good), goodBefore);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Failure);
    EXPECT_THAT(dialogs.messages[0].text, HasSubstr("not written to 2 of 2 photos"));
    EXPECT_THAT(dialogs.messages[0].text, HasSubstr("could not start " + dir.file("exiftool")));
    EXPECT_EQ(console.errors.size(), 2u);

    // The real program refuses a file that is not a photograph; the good one
    // is still written.
    dialogs.messages.clear();
    TagWriter realTool(runner, kExifTool);
    TagCommands real(table, console, realTool);
    real.writeAllPhotos(dialogs);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_THAT(dialogs.messages[0].text, HasSubstr("not written to 1 of 2 photos:\n\"" + broken + "\": " + kExifTool +
                                                    " exited with code 1 (Error: "));
    EXPECT_EQ(number(readTags(good), "Composite:GPSLatitude"), 55);

    dialogs.messages.clear();
    table.moveTo(1);
    real.writeCurrentPhoto(dialogs);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].kind, MessageKind::Failure);
    EXPECT_THAT(dialogs.messages[0].text, HasSubstr("Cannot write the GPS tags of \"" + broken + "\""));
}

TEST_F(TagCommandsExifToolTest, NamesWithQuotesBlanksAndCyrillic) {
    const std::string odd = photo("my \"best\" photo's -P 1.jpg");
    const std::string cyrillic = photo("Фото 2.jpg");
    addPhoto(table, odd, 45.25, 7.5, feetFor(300));
    addPhoto(table, cyrillic, -45.25, -7.5, feetFor(300));
    TagWriter writerTool(runner, kExifTool);
    TagCommands writer(table, console, writerTool);
    writer.writeAllPhotos(dialogs);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(number(readTags(odd), "Composite:GPSLatitude"), 45.25);
    EXPECT_EQ(number(readTags(cyrillic), "Composite:GPSLongitude"), -7.5);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

// An "exiftool" that runs the real one, except that its third run is killed
// at the last moment of a write: the new photograph is complete beside the
// old one and only the rename over it is missing.
std::string killingExifTool(const test::TempDir& tools) {
    const std::string real = fs::canonical(kExifTool).string();
    const std::string counter = tools.file("runs");
    return tools.script("exiftool",
                        "n=0\n"
                        "[ -f '" + counter + "' ] && read n < '" + counter + "'\n"
                        "n=$((n + 1))\n"
                        "echo $n > '" + counter + "'\n"
                        "if [ $n -eq 3 ]; then\n"
                        "  exec /usr/bin/perl -e 'BEGIN { *CORE::GLOBAL::rename = sub { kill 9, $$ } } "
                        "$0 = shift; do $0; die $@ if $@' '" + real + "' \"$@\"\n"
                        "fi\n"
                        "exec '" + real + "' \"$@\"\n");
}

TEST_F(TagCommandsExifToolTest, ExifToolKilledMidWriteLeavesThePhotoAsItWas) {
    if (!fs::exists("/usr/bin/perl")) GTEST_SKIP() << "no perl";
    test::TempDir tools;
    const std::string program = killingExifTool(tools);
    std::vector<std::string> files, before;
    for (int i = 1; i <= 5; ++i) {
        files.push_back(photo("p " + std::to_string(i) + ".jpg"));
        before.push_back(readFile(files.back()));
        addPhoto(table, files.back(), 40 + i, 30, feetFor(10 * i));
    }
    TagWriter writerTool(runner, program);
    TagCommands writer(table, console, writerTool);
    const auto batch = writer.writeAll();
    EXPECT_EQ(batch.attempted, 5);
    ASSERT_EQ(batch.failures.size(), 1u);
    EXPECT_EQ(batch.failures[0], "\"" + files[2] + "\": " + program + " crashed");

    // The killed one is byte for byte what it was, with nothing left beside
    // it; the others carry their whole position.
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
    TagWriter againTool(runner, kExifTool);
    TagCommands(table, console, againTool).writeCurrentPhoto(dialogs);
    EXPECT_EQ(number(readTags(files[2]), "Composite:GPSLatitude"), 43);
}

TEST_F(TagCommandsExifToolTest, AnEarlierLeftoverIsNotRemoved) {
    // It may be another program's write in progress; ExifTool says why it
    // refuses, and the photograph stays as it was.
    const std::string file = photo("busy.jpg");
    const std::string before = readFile(file);
    std::ofstream(file + "_exiftool_tmp") << "partial";
    addPhoto(table, file, 50, 10);
    TagWriter writerTool(runner, kExifTool);
    TagCommands writer(table, console, writerTool);
    const auto batch = writer.writeAll();
    ASSERT_EQ(batch.failures.size(), 1u);
    EXPECT_THAT(batch.failures[0], HasSubstr("Temporary file already exists"));
    EXPECT_EQ(readFile(file), before);
    EXPECT_EQ(readFile(file + "_exiftool_tmp"), "partial");
}

}  // namespace
}  // namespace geovanta

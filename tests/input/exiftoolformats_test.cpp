// Every container, its shooting time written by the real ExifTool into a
// copy of a corpus sample, read back by the reader.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "input/exif.h"
#include "support/tempdir.h"

extern char** environ;

namespace fs = std::filesystem;
using namespace geovanta;

namespace {

// The exiftool beside the programs, else the one on the search path.
std::string exifTool() {
    const std::string beside = std::string(GEOVANTA_BIN_DIR) + "/exiftool";
    return fs::exists(beside) ? beside : "exiftool";
}

// Runs a program without a shell; its exit status, or -1.
int run(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

}  // namespace

TEST(ExifToolFormats, WrittenByExifToolReadBack) {
    const std::string images = std::string(GEOVANTA_SHARED_DIR) + "/corpus/images/";
    if (!fs::is_directory(images)) GTEST_SKIP() << "no corpus at " << images;
    if (run({exifTool(), "-ver"}) != 0) GTEST_SKIP() << "no exiftool";
    struct Case {
        const char* sample;
        bool exifTags;  // false: a CRW file, whose own record holds the date alone
    };
    const Case cases[] = {
        {"ianare__Canon_40D.jpg", true},      {"exiftool__CanonRaw.cr2", true},
        {"exiftool__DNG.dng", true},          {"exiftool__Panasonic.rw2", true},
        {"exiftool__PhaseOne.iiq", true},     {"exiftool__FujiFilm.raf", true},
        {"exiftool__CanonRaw.cr3", true},     {"mei__Issue_263_dotnet.heic", true},
        {"exiftool__QuickTime.heic", true},   // ExifTool adds an Exif item
        {"exiv2__exiv2-canon-powershot-s40.crw", false},
    };
    geovanta::test::TempDir dir;
    std::vector<std::string> write = {exifTool(), "-q", "-overwrite_original", "-DateTimeOriginal=2021:06:15 10:20:30",
                                      "-SubSecTimeOriginal=456", "-OffsetTimeOriginal=+05:30"};
    for (const Case& c : cases) {
        const std::string copy = dir.file(c.sample);
        fs::copy_file(images + c.sample, copy);
        fs::permissions(copy, fs::perms::owner_write, fs::perm_options::add);
        write.push_back(copy);
    }
    ASSERT_EQ(run(write), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sample);
        TExif exif;
        ASSERT_NO_THROW(exif.ReadExif(dir.file(c.sample)));
        EXPECT_EQ(exif.DateTimeOriginal, "2021:06:15 10:20:30");
        EXPECT_EQ(exif.SubSecTimeOriginalMs, c.exifTags ? 456 : 0);
        EXPECT_EQ(exif.TimeZoneOffsetMinutes, c.exifTags ? std::optional<int>(330) : std::nullopt);
    }
}

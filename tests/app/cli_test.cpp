// Runs the real geovanta-cli binary.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/runcli.h"
#include "support/tempdir.h"

using geovanta::test::CliResult;

namespace {

CliResult cli(const std::string& args) { return geovanta::test::runCli(args); }

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

const char* kHeader = "Stat,Name,Time,Lat,Lon,Elev,Dist,Speed,VTime,FileName,Type,VLat,VLon,VElev,Camera\r\n";

}  // namespace

TEST(Cli, NoInputPrintsTheHeaderAlone) {
    const CliResult r = cli("");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kHeader);
}

TEST(Cli, HelpAndErrors) {
    const CliResult help = cli("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: geovanta-cli"), std::string::npos);

    const CliResult unknown = cli("--frobnicate");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.out.find("unknown option '--frobnicate'"), std::string::npos);

    const CliResult missing = cli("/no/such/track.plt");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find("cannot find '/no/such/track.plt'"), std::string::npos);

    const CliResult badValue = cli("--tolerance abc");
    EXPECT_EQ(badValue.status, 1);
    for (const char* seconds : {"0", "-5", "1.5", "x"}) {
        const CliResult badTimeout = cli(std::string("--exiftool-timeout=") + seconds);
        EXPECT_EQ(badTimeout.status, 1) << seconds;
        EXPECT_NE(badTimeout.out.find("is not a whole number of seconds from 1 up"), std::string::npos);
    }
    EXPECT_EQ(cli("--exiftool-timeout 1").status, 0);
    for (const char* metres : {"0", "-5", "x", "1e999", "2e7"}) {
        const CliResult badAccuracy = cli(std::string("--max-accuracy=") + metres);
        EXPECT_EQ(badAccuracy.status, 1) << metres;
        EXPECT_NE(badAccuracy.out.find("is not a number of metres above 0 up to 10000000"), std::string::npos);
    }
    EXPECT_EQ(cli("--max-accuracy 2.5").status, 0);
    const CliResult negative = cli("--tolerance -5");
    EXPECT_EQ(negative.status, 1);
    EXPECT_NE(negative.out.find("the tolerance cannot be below 0 seconds ('-5')"), std::string::npos) << negative.out;
    const CliResult noValue = cli("--csv");
    EXPECT_EQ(noValue.status, 1);
    // XMP files are where tags are written: without --write-tags nothing would be.
    const struct {
        const char* args;
        const char* error;  // nullptr: accepted
    } sidecars[] = {
        {"--sidecar", "option '--sidecar' needs '--write-tags'"},
        {"--sidecar=xmp --write-tags", "option '--sidecar' takes 'full', 'base' or 'raw', not 'xmp'"},
        {"--photo-zones=1", "option '--photo-zones' takes no value"},
        {"--keep-existing", "option '--keep-existing' needs '--write-tags'"},
        {"--clear-unplaced=yes --write-tags", "option '--clear-unplaced' takes no value"},
        {"--sidecar=full --write-tags --photo-zones", nullptr},
        {"--sidecar=raw --write-tags --keep-existing --clear-unplaced", nullptr},
    };
    for (const auto& c : sidecars) {
        const CliResult r = cli(c.args);
        EXPECT_EQ(r.status, c.error ? 1 : 0) << c.args;
        if (c.error) {
            EXPECT_NE(r.out.find(c.error), std::string::npos) << r.out;
        }
    }
}

// A CSV file that is one of the inputs, however it is named, is refused
// before anything is read, and the input is left as it was.
TEST(Cli, CsvOverAnInputIsRefused) {
    geovanta::test::TempDir dir;
    const std::string track = "OziExplorer Track Point File\r\nWGS 84\r\n3\r\n4\r\n5\r\n6\r\n55,37,0,1,40513\r\n";
    dir.write("track.plt", track);
    std::filesystem::create_directory(dir.file("photos"));
    const std::string photo = dir.write("photos/IMG_0001.JPG", "not really a photo");
    ASSERT_EQ(::symlink("track.plt", dir.file("link.plt").c_str()), 0);
    ASSERT_EQ(::link(dir.file("track.plt").c_str(), dir.file("hard.plt").c_str()), 0);
    ASSERT_EQ(::link(photo.c_str(), dir.file("photo.csv").c_str()), 0);
    for (const char* args : {"--csv track.plt track.plt", "--csv ./track.plt track.plt", "--csv link.plt track.plt",
                             "--csv hard.plt ../$(basename $PWD)/track.plt", "--csv photos/IMG_0001.JPG ./photos/",
                             "--csv photo.csv photos"}) {
        SCOPED_TRACE(args);
        const CliResult r = geovanta::test::runCli(args, dir.folder());
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find("it would be overwritten"), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("Stat,"), std::string::npos) << "nothing was read";
    }
    std::ifstream in(dir.file("track.plt"), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), track);
    // A table written beside the photographs is fine.
    EXPECT_EQ(geovanta::test::runCli("--csv photos/table.csv track.plt", dir.folder()).status, 0);
}

// The CSV file may not be a photograph of any folder the scan enters, nor
// an XMP file beside one, there already or still to be made by the write.
TEST(Cli, CsvOverAPhotographOrItsXmpFileInASubfolderIsRefused) {
    geovanta::test::TempDir dir;
    dir.write("track.plt", "OziExplorer Track Point File\r\nWGS 84\r\n3\r\n4\r\n5\r\n6\r\n55,37,0,1,40513\r\n");
    std::filesystem::create_directories(dir.file("trip/d1"));
    const std::string photo = dir.write("trip/d1/IMG_1.JPG", "not really a photo");
    const std::string xmp = dir.write("trip/d1/IMG_1.xmp", "<x/>");
    ASSERT_EQ(::link(xmp.c_str(), dir.file("xmp.csv").c_str()), 0);
    for (const char* csv : {"trip/d1/IMG_1.JPG", "xmp.csv", "trip/d1/IMG_1.JPG.xmp"}) {
        SCOPED_TRACE(csv);
        const CliResult r = geovanta::test::runCli(std::string("--recursive --write-tags --sidecar=full --csv ") + csv +
                                                       " track.plt trip",
                                                   dir.folder());
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.out.find("it would be overwritten"), std::string::npos) << r.out;
    }
    EXPECT_EQ(contents(photo), "not really a photo");
    EXPECT_EQ(contents(xmp), "<x/>");
    EXPECT_FALSE(std::filesystem::exists(dir.file("trip/d1/IMG_1.JPG.xmp")));
    // Without --recursive the subfolder is not read.
    EXPECT_EQ(geovanta::test::runCli("--csv trip/d1/IMG_1.JPG track.plt trip", dir.folder()).status, 0);
}

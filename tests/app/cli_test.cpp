// Runs the real geovanta-cli binary.
#include <gtest/gtest.h>

#include <string>

#include "support/runcli.h"

using geovanta::test::CliResult;

namespace {

CliResult cli(const std::string& args) { return geovanta::test::runCli(args); }

const char* kHeader = "Stat,Name,Time,Lat,Lon,Elev,Dist,Speed,VTime,FileName,Type,VLat,VLon,VElev\r\n";

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
    const CliResult noValue = cli("--csv");
    EXPECT_EQ(noValue.status, 1);
}

// Runs the real geovanta-cli binary.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

struct CliRun {
    int status = -1;
    std::string out;
};

// Runs the tool with standard error folded into the captured text.
CliRun cli(const std::string& args) {
    CliRun r;
    const std::string command = std::string(GEOVANTA_BIN_DIR) + "/geovanta-cli " + args + " 2>&1";
    FILE* p = ::popen(command.c_str(), "r");
    if (!p) return r;
    std::array<char, 4096> buf{};
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
    const int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

const char* kHeader = "Stat,Name,Time,Lat,Lon,Elev,Dist,Speed,VTime,FileName,Type,VLat,VLon,VElev\r\n";

}  // namespace

TEST(Cli, NoInputPrintsTheHeaderAlone) {
    const CliRun r = cli("");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kHeader);
}

TEST(Cli, HelpAndErrors) {
    const CliRun help = cli("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: geovanta-cli"), std::string::npos);

    const CliRun unknown = cli("--frobnicate");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.out.find("unknown option '--frobnicate'"), std::string::npos);

    const CliRun missing = cli("/no/such/track.plt");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.out.find("cannot find '/no/such/track.plt'"), std::string::npos);

    const CliRun badValue = cli("--tolerance abc");
    EXPECT_EQ(badValue.status, 1);
    const CliRun noValue = cli("--csv");
    EXPECT_EQ(noValue.status, 1);
}

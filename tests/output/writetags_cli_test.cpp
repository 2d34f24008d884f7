// geovanta-cli --write-tags: a track, a photo folder, and the real ExifTool.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <optional>
#include <string>
#include <thread>

#include "runtime/processrunner.h"
#include "support/runcli.h"
#include "support/tempdir.h"

namespace geovanta {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::HasSubstr;

const std::string kBin = GEOVANTA_BIN_DIR;

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines) text += l + "\n";
    return text;
}

// A track of two points a minute before and after 10:00 on 1 May 2024,
// 55.0 N to 55.2 N, and photographs made with ImageMagick and ExifTool.
class WriteTagsCli : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(kBin + "/exiftool")) GTEST_SKIP() << "no exiftool beside the programs";
        std::ofstream(dir.file("track.plt"), std::ios::binary) << "OziExplorer Track Point File Version 2.1\r\n"
                                                                   "WGS 84\r\n"
                                                                   "Altitude is in Feet\r\n"
                                                                   "Reserved 3\r\n"
                                                                   "0,2,255,Track,0,0,2,8421376\r\n"
                                                                   "2\r\n"
                                                                   "55.0,37.0,1,328.0,45413.4159722222,,\r\n"
                                                                   "55.2,37.2,0,328.0,45413.4173611111,,\r\n";
    }

    // A small JPEG taken at `time` ("HH:MM:SS" on 1 May 2024); folders on the
    // way are made.
    std::string photo(const std::string& path, const std::string& time) {
        fs::create_directories(fs::path(path).parent_path());
        if (blank.empty()) {
            blank = dir.file("blank.jpg");
            EXPECT_EQ(std::system(("convert -size 64x48 xc:gray '" + blank + "'").c_str()), 0);
        }
        fs::copy_file(blank, path);
        EXPECT_TRUE(RunCommand(kBin + "/exiftool", {"-overwrite_original", "-DateTimeOriginal=2024:05:01 " + time, path})
                        .succeeded());
        return path;
    }

    // Latitude as written, or nothing.
    static std::optional<double> latitude(const std::string& path) {
        const CommandResult r = RunCommand(kBin + "/exiftool", {"-n", "-s3", "-GPSLatitude#", path});
        if (r.outputLines.size() != 1) return std::nullopt;
        return std::stod(r.outputLines[0]);
    }

    // `count` photographs IMG_1000.JPG... taken at `time`, by one ExifTool.
    void photos(const std::string& folder, int count, const std::string& time) {
        const std::string first = photo(folder + "/IMG_1000.JPG", time);
        for (int i = 1; i < count; ++i) fs::copy_file(first, folder + "/IMG_" + std::to_string(1000 + i) + ".JPG");
    }

    // "<shooting time>\t<latitude or ->" of every file in the folder; a file
    // ExifTool cannot read shows as "-\t-".
    static std::vector<std::string> tagsIn(const std::string& folder) {
        return RunCommand(kBin + "/exiftool", {"-q", "-q", "-n", "-T", "-DateTimeOriginal", "-GPSLatitude#", folder})
            .outputLines;
    }

    test::TempDir dir;
    std::string blank;
};

TEST_F(WriteTagsCli, WritesThePlacedPhotographs) {
    const std::string placed = photo(dir.file("photos/IMG_0001.JPG"), "10:00:00");
    const std::string early = photo(dir.file("photos/IMG_0002.JPG"), "08:00:00");

    const CommandResult run =
        RunCommand(kBin + "/geovanta-cli", {"--write-tags", "--csv", dir.file("out.csv"), dir.file("track.plt"),
                                            dir.file("photos")});
    if (joined(run.errorLines).find("cannot be read yet") != std::string::npos)
        GTEST_SKIP() << "this build cannot load tracks or photo folders yet";
    EXPECT_TRUE(run.succeeded()) << joined(run.errorLines);
    EXPECT_THAT(run.errorLines, Contains("geovanta-cli: writing GPS tags: 2 of 2 photos"));
    EXPECT_THAT(run.errorLines, Contains("geovanta-cli: GPS tags: 1 written, 1 not placed, 0 failed"));

    const CommandResult placedTags = RunCommand(kBin + "/exiftool", {"-n", "-s3", "-GPSLatitude#", "-GPSAltitude#", placed});
    ASSERT_EQ(placedTags.outputLines.size(), 2u) << joined(placedTags.outputLines);
    EXPECT_NEAR(std::stod(placedTags.outputLines[0]), 55.1, 1.0 / 3600);
    EXPECT_EQ(placedTags.outputLines[1], "100");  // 328 feet are 99.97 m
    const CommandResult earlyTags = RunCommand(kBin + "/exiftool", {"-n", "-s3", "-GPSLatitude", early});
    EXPECT_TRUE(earlyTags.outputLines.empty());

    // ExifTool's temporary file left by a run that was cut short is removed,
    // saying so, and the photograph is written again.
    std::ofstream(placed + "_exiftool_tmp") << "left by a killed run";
    const CommandResult again =
        RunCommand(kBin + "/geovanta-cli", {"--write-tags", "--track-offset", "0.0001", "--csv", dir.file("out.csv"),
                                            dir.file("track.plt"), dir.file("photos")});
    EXPECT_TRUE(again.succeeded()) << joined(again.errorLines);
    EXPECT_THAT(again.errorLines, Contains("geovanta-cli: removed \"" + placed +
                                           "_exiftool_tmp\", left by an earlier write that was cut short"));
    EXPECT_THAT(again.errorLines, Contains("geovanta-cli: GPS tags: 1 written, 1 not placed, 0 failed"));
    EXPECT_FALSE(fs::exists(placed + "_exiftool_tmp"));
    ASSERT_TRUE(latitude(placed));
    EXPECT_GT(std::fabs(*latitude(placed) - 55.1), 1.0 / 3600);  // the new position
}

// Altitudes no GPS can give on the track (one killed the program while it
// wrote) are dropped on loading and said so; the photograph is placed and its
// position written, with no altitude.
TEST_F(WriteTagsCli, AbsurdAltitudesOnTheTrackLeaveThePositionWritten) {
    const std::string placed = photo(dir.file("photos/IMG_0001.JPG"), "10:00:00");
    std::ofstream(dir.file("track.plt"), std::ios::binary) << "OziExplorer Track Point File Version 2.1\r\nWGS 84\r\n"
                                                               "Altitude is in Feet\r\nReserved 3\r\n"
                                                               "0,2,255,Track,0,0,2,8421376\r\n2\r\n"
                                                               "55.0,37.0,1,1e20,45413.4159722222,,\r\n"
                                                               "55.2,37.2,0,1.6e18,45413.4173611111,,\r\n";
    const CommandResult run = RunCommand(kBin + "/geovanta-cli", {"--write-tags", "--csv", dir.file("out.csv"),
                                                                  dir.file("track.plt"), dir.file("photos")});
    EXPECT_TRUE(run.succeeded()) << joined(run.errorLines);
    EXPECT_THAT(run.errorLines, Contains("geovanta-cli: Points with an impossible altitude (taken without one): 2 (" +
                                         dir.file("track.plt") + ")"));
    EXPECT_THAT(run.errorLines, Contains("geovanta-cli: GPS tags: 1 written, 0 not placed, 0 failed"));
    const CommandResult tags = RunCommand(kBin + "/exiftool", {"-n", "-s3", "-GPSLatitude#", "-GPSAltitude#", placed});
    ASSERT_EQ(tags.outputLines.size(), 1u) << joined(tags.outputLines);
    EXPECT_NEAR(std::stod(tags.outputLines[0]), 55.1, 1.0 / 3600);
}

// A path longer than 255 characters is handed whole to ExifTool: cut, it
// named the folder, and every photograph got the last one's position.
TEST_F(WriteTagsCli, LongPathsAreWrittenWhole) {
    const std::string folder = dir.file(std::string(150, 'a') + "/" + std::string(110, 'b'));
    const std::string first = photo(folder + "/IMG_0001.JPG", "09:59:30");
    const std::string second = photo(folder + "/IMG_0002.JPG", "10:00:00");
    ASSERT_GT(first.size(), 260u);
    const CommandResult run = RunCommand(kBin + "/geovanta-cli", {"--write-tags", "--csv", dir.file("out.csv"),
                                                                  dir.file("track.plt"), folder});
    EXPECT_TRUE(run.succeeded()) << joined(run.errorLines);
    ASSERT_TRUE(latitude(first) && latitude(second));
    EXPECT_NEAR(*latitude(first), 55.05, 1.0 / 3600);
    EXPECT_NEAR(*latitude(second), 55.1, 1.0 / 3600);
}

// Two runs at once on one folder: the second waits for the first's lock, and
// no photograph is lost or left with a temporary file beside it.
TEST_F(WriteTagsCli, ConcurrentRunsOnOneFolderTakeTurns) {
    const std::string folder = dir.file("photos");
    photos(folder, 12, "10:00:00");
    auto run = [&](const std::string& offset) {
        return RunCommand(kBin + "/geovanta-cli", {"--write-tags", "--track-offset", offset, "--csv",
                                                   dir.file("out" + offset + ".csv"), dir.file("track.plt"), folder});
    };
    auto one = std::async(std::launch::async, run, "0");
    auto two = std::async(std::launch::async, run, "0.0001");
    const CommandResult a = one.get(), b = two.get();
    // Whichever ran second found the photographs rewritten after it loaded
    // them, unless it loaded them after the first had ended.
    const std::string allWritten = "geovanta-cli: GPS tags: 12 written, 0 not placed, 0 failed";
    for (const CommandResult* r : {&a, &b}) {
        if (r->succeeded()) {
            EXPECT_THAT(r->errorLines, Contains(allWritten));
            continue;
        }
        EXPECT_THAT(r->errorLines, Contains("geovanta-cli: GPS tags: 0 written, 0 not placed, 12 failed"));
        EXPECT_THAT(joined(r->errorLines), HasSubstr("changed since it was loaded"));
    }
    EXPECT_TRUE(a.succeeded() || b.succeeded());
    const std::vector<std::string> tags = tagsIn(folder);
    EXPECT_EQ(tags.size(), 12u);  // no temporary file left
    for (const std::string& t : tags) EXPECT_THAT(t, ::testing::StartsWith("2024:05:01 10:00:00\t55."));
}

// A stop signal lets the photographs in flight finish; the summary comes out
// and the run fails, and no photograph is half written.
TEST_F(WriteTagsCli, StopSignalEndsTheBatchBetweenPhotographs) {
    const std::string folder = dir.file("photos");
    photos(folder, 40, "10:00:00");
    const std::string out = dir.file("out.csv"), track = dir.file("track.plt");
    // The real ExifTool, handed each photograph a fifth of a second late, so
    // that the signal surely comes while photographs are still waiting.
    test::TempDir tools;
    const std::string cli = tools.file("geovanta-cli");
    fs::copy_file(kBin + "/geovanta-cli", cli);
    tools.script("exiftool", "while IFS= read -r line; do printf '%s\\n' \"$line\"\n"
                             "  case \"$line\" in -execute*) sleep 0.2;; esac\n"
                             "done | exec '" + fs::canonical(kBin + "/exiftool").string() + "' \"$@\"\n");
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 2);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    std::vector<char*> argv{const_cast<char*>(cli.c_str()), const_cast<char*>("--write-tags"),
                            const_cast<char*>("--csv"),     const_cast<char*>(out.c_str()),
                            const_cast<char*>(track.c_str()), const_cast<char*>(folder.c_str()), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, cli.c_str(), &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);

    std::string text;
    bool sent = false;
    std::FILE* err = ::fdopen(pipeEnds[0], "r");
    for (int c; (c = std::fgetc(err)) != EOF;) {
        text += char(c);
        if (c == '\n' && !sent && text.find("writing GPS tags: 1 of 40") != std::string::npos)
            sent = ::kill(pid, SIGTERM) == 0;
    }
    std::fclose(err);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << text;
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM) << text;
    EXPECT_THAT(text, HasSubstr("not tried after the abort"));
    EXPECT_FALSE(fs::exists(out));
    int written = 0;
    const std::vector<std::string> tags = tagsIn(folder);
    EXPECT_EQ(tags.size(), 40u);  // no temporary file is left
    for (const std::string& t : tags) {
        // Every photograph reads back whole, written or not.
        EXPECT_THAT(t, ::testing::StartsWith("2024:05:01 10:00:00\t"));
        if (t.find("\t55.1") != std::string::npos) ++written;
    }
    EXPECT_GE(written, 1);
    EXPECT_LT(written, 40);
    EXPECT_THAT(text, HasSubstr("GPS tags: " + std::to_string(written) + " written"));
}

// A copy of the tool beside a scripted ExifTool, run to its end with
// standard error collected; SIGTERM after `signalAfter`, when given.
struct ScriptedRun {
    int status = -1;
    std::chrono::milliseconds took{};  // from the signal, or from the start
    long peakKb = 0;                   // the most memory it held, as last seen while it ran
    std::string err;
};

// The peak resident memory of a running process; 0 once it has ended.
long peakMemoryKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}
ScriptedRun runBesideScript(const test::TempDir& tools, const std::string& script, std::vector<std::string> args,
                            std::optional<std::chrono::milliseconds> signalAfter) {
    ScriptedRun r;
    const std::string cli = tools.file("geovanta-cli");
    if (!fs::exists(cli)) fs::copy_file(kBin + "/geovanta-cli", cli);
    fs::remove(tools.file("exiftool"));
    tools.script("exiftool", script);
    const std::string errFile = tools.file("err.txt");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    args.insert(args.begin(), cli);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    auto start = std::chrono::steady_clock::now();
    if (posix_spawn(&pid, cli.c_str(), &actions, nullptr, argv.data(), environ) != 0) return r;
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    bool signalled = !signalAfter;
    // Watched while it runs: the kernel's own peak for a child started from
    // this process counts this process's memory too.
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        r.peakKb = std::max(r.peakKb, peakMemoryKb(pid));
        if (!signalled && std::chrono::steady_clock::now() - start >= *signalAfter) {
            start = std::chrono::steady_clock::now();
            signalled = ::kill(pid, SIGTERM) == 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    r.took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(errFile);
    r.err.assign(std::istreambuf_iterator<char>(in), {});
    return r;
}

// Whatever ExifTool does, the tool ends within seconds: of a stop signal
// while ExifTool hangs, or by itself when ExifTool floods it, in bounded
// memory; every photograph is named and none is touched.
TEST_F(WriteTagsCli, EndsWithinSecondsWhateverExifToolDoes) {
    const std::string folder = dir.file("photos");
    photos(folder, 3, "10:00:00");
    const std::vector<std::string> before = tagsIn(folder);
    test::TempDir tools;
    const std::vector<std::string> args{"--write-tags", "--csv", dir.file("out.csv"), dir.file("track.plt"), folder};
    using namespace std::chrono_literals;
    const struct {
        const char* what;
        const char* script;
        std::optional<std::chrono::milliseconds> signalAfter;
        int status;
        const char* says;
    } cases[] = {
        {"hangs, then SIGTERM", "exec sleep 1000\n", 500ms, 128 + SIGTERM,
         "ExifTool was ended by the abort before it answered"},
        {"floods", "exec yes\n", std::nullopt, 1, "ExifTool printed more than 1 MB without answering"},
    };
    long hangingPeakKb = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ScriptedRun run = runBesideScript(tools, c.script, args, c.signalAfter);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_LT(run.took, 5s);
        // Flooded, it holds little more than while it waits.
        if (!hangingPeakKb) hangingPeakKb = run.peakKb;
        EXPECT_LT(run.peakKb, hangingPeakKb + 64 * 1024);
        EXPECT_THAT(run.err, HasSubstr(c.says));
        for (int i = 0; i < 3; ++i) EXPECT_THAT(run.err, HasSubstr("IMG_100" + std::to_string(i) + ".JPG\": "));
        EXPECT_EQ(tagsIn(folder), before);
    }
}

// The CSV file is replaced whole or not at all: past a file size limit the
// old one stays and no unfinished copy is left beside it.
TEST_F(WriteTagsCli, CsvFileIsReplacedWholeOrNotAtAll) {
    const std::string out = dir.write("out.csv", "old\n");
    const test::CliResult cut = test::runCli("--csv '" + out + "' '" + dir.file("track.plt") + "'", "",
                                             "prlimit --fsize=100");
    EXPECT_EQ(cut.status, 1) << cut.out;
    EXPECT_THAT(cut.out, HasSubstr("cannot write to '" + out + "'"));
    std::ifstream in(out);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2);  // the track and the old CSV

    const test::CliResult whole = test::runCli("--csv '" + out + "' '" + dir.file("track.plt") + "'");
    EXPECT_EQ(whole.status, 0) << whole.out;
    EXPECT_GT(fs::file_size(out), 100u);

    // What is no file, such as a pipe or /dev/null, is written to and stays
    // what it is.
    const std::string pipe = dir.file("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // Held open for reading first, so the tool's open does not wait; the
    // table of two points fits in the pipe.
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const test::CliResult piped = test::runCli("--csv '" + pipe + "' '" + dir.file("track.plt") + "'");
    EXPECT_EQ(piped.status, 0) << piped.out;
    char text[4096];
    const ssize_t n = ::read(reader, text, sizeof text);
    ::close(reader);
    EXPECT_THAT(std::string(text, n > 0 ? std::size_t(n) : 0), ::testing::StartsWith("Stat,Name,Time,"));
    EXPECT_TRUE(fs::is_fifo(pipe));
}

}  // namespace
}  // namespace geovanta

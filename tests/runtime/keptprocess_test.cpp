// ExifTool kept open through a real child process: the argument file it
// reads, commands one after another, and children that end under a command.
#include "runtime/keptprocess.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "output/exiftoolsession.h"
#include "runtime/processrunner.h"
#include "support/tempdir.h"

namespace geovanta {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Outcome = CommandResult::Outcome;

const std::string kExifTool = std::string(GEOVANTA_BIN_DIR) + "/exiftool";

ExifToolSession session(const std::string& program) { return ExifToolSession(std::make_unique<KeptProcess>(), program); }

TEST(ExifToolArgumentLine, PlainWhenExifToolTakesTheLineAsItIs) {
    using L = ExifToolSession;
    EXPECT_EQ(L::argumentLine("-GPSLatitude=dd/1,mm/2,ss/3.0000"), "-GPSLatitude=dd/1,mm/2,ss/3.0000\n");
    EXPECT_EQ(L::argumentLine("/p/a b $x @y \"q\" \\ trailing "), "/p/a b $x @y \"q\" \\ trailing \n");
    EXPECT_EQ(L::argumentLine("bad\xFF.jpg"), "bad\xFF.jpg\n");
    // What ExifTool would drop, skip or squeeze goes escaped.
    EXPECT_EQ(L::argumentLine("#1.jpg"), "#[CSTR]#1.jpg\n");
    EXPECT_EQ(L::argumentLine(" x"), "#[CSTR] x\n");
    EXPECT_EQ(L::argumentLine(""), "#[CSTR]\n");
    EXPECT_EQ(L::argumentLine("-Comment= x"), "#[CSTR]-Comment= x\n");
    EXPECT_EQ(L::argumentLine("/p/a\nb\r\\n.jpg\r"), "#[CSTR]/p/a\\nb\\r\\\\n.jpg\\r\n");
    EXPECT_EQ(L::argumentLine("/p/a\n$b"), std::nullopt);
    EXPECT_EQ(L::argumentLine("/p/a\n@b"), std::nullopt);
}

class KeptExifToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(kExifTool)) GTEST_SKIP() << "no exiftool beside the programs";
    }
    test::TempDir dir;
};

// Names ExifTool reads from a line of its own, led by one that prints a
// look-alike of the end marker, each get exactly their own command's text.
TEST_F(KeptExifToolTest, CommandsOneAfterAnotherEachWithItsOwnOutput) {
    const std::string base = dir.file("base.jpg");
    ASSERT_EQ(std::system(("convert -size 8x8 xc:gray '" + base + "'").c_str()), 0);
    const std::vector<std::string> names = {"x\n{ready1}\n.jpg", "line\nbreak\\n.jpg", "#tag.jpg", " lead.jpg",
                                            "trail.jpg ", "bad\xFF\xFE.jpg", "q\"uote$@.jpg"};
    for (const auto& n : names) fs::copy_file(base, dir.file(n));

    ExifToolSession s = session(kExifTool);
    const CommandResult version = s.execute({"-ver"}, {});
    EXPECT_EQ(version.outcome, Outcome::Exited);
    ASSERT_EQ(version.outputLines.size(), 1u);
    EXPECT_TRUE(version.errorLines.empty());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string lat = "-GPSLatitude=" + std::to_string(10 + i);
        const CommandResult r = s.execute({"-overwrite_original", "-v0", lat, dir.file(names[i])}, {});
        EXPECT_TRUE(r.succeeded()) << names[i];
        EXPECT_THAT(r.outputLines, Contains(HasSubstr("1 image files updated"))) << names[i];
        EXPECT_TRUE(r.errorLines.empty()) << names[i];
    }
    const CommandResult missing = s.execute({"-overwrite_original", "-GPSLatitude=1", dir.file("none.jpg")}, {});
    EXPECT_EQ(missing.outcome, Outcome::Exited);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_THAT(missing.errorLines, ElementsAre("Error: File not found - " + dir.file("none.jpg")));
    EXPECT_TRUE(s.alive());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const CommandResult r = s.execute({"-n", "-s3", "-GPSLatitude", dir.file(names[i])}, {});
        EXPECT_THAT(r.outputLines, ElementsAre(std::to_string(10 + i))) << names[i];
    }
}

TEST_F(KeptExifToolTest, OnAWorkerThreadAndEndedPromptly) {
    CommandResult r;
    std::chrono::steady_clock::duration closing{};
    std::thread worker([&] {
        auto s = std::make_unique<ExifToolSession>(std::make_unique<KeptProcess>(), kExifTool);
        r = s->execute({"-ver"}, {});
        const auto start = std::chrono::steady_clock::now();
        s.reset();
        closing = std::chrono::steady_clock::now() - start;
    });
    worker.join();
    EXPECT_TRUE(r.succeeded());
    EXPECT_EQ(r.outputLines.size(), 1u);
    // Told to end, it ends by itself long before it would be killed.
    EXPECT_LT(closing, std::chrono::seconds(3));
}

TEST_F(KeptExifToolTest, ChildrenThatCannotStartOrEndUnderACommand) {
    ExifToolSession missing = session(dir.file("no-such-program"));
    EXPECT_FALSE(missing.alive());
    const CommandResult notStarted = missing.execute({"-ver"}, {});
    EXPECT_EQ(notStarted.outcome, Outcome::NotStarted);
    EXPECT_FALSE(notStarted.startError.empty());

    // Takes the first command, says something on each stream, and ends.
    ExifToolSession stops = session(dir.script("stops.sh", "read line\necho partial\necho 'Error: gone' >&2\nexit 3\n"));
    const CommandResult stopped = stops.execute({"-ver"}, {});
    EXPECT_EQ(stopped.outcome, Outcome::Stopped);
    EXPECT_EQ(stopped.exitCode, 3);
    EXPECT_THAT(stopped.outputLines, ElementsAre("partial"));
    EXPECT_THAT(stopped.errorLines, ElementsAre("Error: gone"));
    EXPECT_FALSE(stops.alive());
    // Ended, it is handed nothing more: the caller may start another.
    EXPECT_EQ(stops.execute({"-ver"}, {}).outcome, Outcome::Gone);

    ExifToolSession crashes = session(dir.script("crashes.sh", "read line\nkill -SEGV $$\n"));
    EXPECT_EQ(crashes.execute({"-ver"}, {}).outcome, Outcome::Crashed);
    EXPECT_FALSE(crashes.alive());
}

// A child that never reads its input: the command fills the pipe and the
// writer waits no longer than the answer may take.
TEST_F(KeptExifToolTest, AChildThatTakesNoInputIsGivenUpByTheDeadline) {
    ExifToolSession deaf = session(dir.script("deaf.sh", "exec sleep 30\n"));
    CommandLimits limits;
    limits.answerWithin = std::chrono::milliseconds(500);
    const auto start = std::chrono::steady_clock::now();
    const CommandResult r = deaf.execute({"-Comment=" + std::string(1 << 20, 'x'), "/p/a.jpg"}, limits);
    EXPECT_EQ(r.outcome, Outcome::NoAnswer);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_FALSE(deaf.alive());
}

// An ExifTool older than "-echo4" takes the end marker for a file name and
// never sends the end of its error text: the command still ends, without
// that complaint, once "{ready}" has come.
TEST_F(KeptExifToolTest, AnExifToolWithoutEcho4) {
    ExifToolSession old = session(dir.script("old.sh", "while IFS= read -r line; do\n"
                                                        "  case \"$line\" in -execute*)\n"
                                                        "    id=${line#-execute}\n"
                                                        "    echo \"Error: File not found - {ready$id} \\${status}\" >&2\n"
                                                        "    echo '    1 image files updated'\n"
                                                        "    echo \"{ready$id}\";;\n"
                                                        "  esac\n"
                                                        "done\n"));
    for (int i = 0; i < 2; ++i) {
        const CommandResult r = old.execute({"-GPSLatitude=1", "/p/a.jpg"}, {});
        EXPECT_TRUE(r.succeeded());
        EXPECT_THAT(r.outputLines, ElementsAre("    1 image files updated"));
        EXPECT_TRUE(r.errorLines.empty());
    }
}

}  // namespace
}  // namespace geovanta

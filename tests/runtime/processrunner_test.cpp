// Child processes through QProcess, with small shell scripts as children.
#include "runtime/processrunner.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "support/tempdir.h"

namespace geovanta {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Outcome = CommandResult::Outcome;

TEST(CommandResult, FailureReasonsAreDistinct) {
    CommandResult r;
    r.outcome = Outcome::NotStarted;
    r.startError = "No such file or directory";
    EXPECT_EQ(r.failureReason("/x/exiftool"), "could not start /x/exiftool: No such file or directory");
    r.outcome = Outcome::Exited;
    r.exitCode = 1;
    r.errorLines = {"Error: Not a valid JPG - a.jpg", "  "};
    EXPECT_EQ(r.failureReason("exiftool"), "exiftool exited with code 1 (Error: Not a valid JPG - a.jpg)");
    EXPECT_FALSE(r.succeeded());
    r.outcome = Outcome::Crashed;
    r.errorLines.clear();
    EXPECT_EQ(r.failureReason("exiftool"), "exiftool crashed");
    r.outcome = Outcome::Exited;
    r.exitCode = 0;
    EXPECT_TRUE(r.succeeded());
}

class RunCommandTest : public ::testing::Test {
protected:
    test::TempDir dir;
};

TEST_F(RunCommandTest, SilentChild) {
    const CommandResult r = RunCommand(dir.script("quiet.sh", "exit 0\n"), {});
    EXPECT_EQ(r.outcome, Outcome::Exited);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_THAT(r.outputLines, IsEmpty());
    EXPECT_THAT(r.errorLines, IsEmpty());
}

TEST_F(RunCommandTest, AChildThatDoesNotEndIsGivenUp) {
    const auto start = std::chrono::steady_clock::now();
    const CommandResult r = RunCommand(dir.script("hangs.sh", "exec sleep 30\n"), {}, std::chrono::milliseconds(300));
    EXPECT_EQ(r.outcome, Outcome::NoAnswer);
    EXPECT_FALSE(r.givenUp.empty());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST_F(RunCommandTest, ArgumentsArriveUntouchedAndBytesAreNotConverted) {
    const std::string tricky = "a \"quoted\" name; $(touch pwned) 'x'";
    const CommandResult r = RunCommand(dir.script("args.sh", "for a in \"$@\"; do printf '%s\\n' \"$a\"; done\n"
                                                             "printf '\\377\\320\\237'\n"),
                                       {tricky, "", "-v0"});
    EXPECT_THAT(r.outputLines, ElementsAre(tricky, "", "-v0", "\xff\xd0\x9f"));
    EXPECT_FALSE(std::filesystem::exists("pwned"));
}

TEST_F(RunCommandTest, SeveralKilobytesArriveInOrder) {
    const CommandResult r = RunCommand(
        dir.script("many.sh", "i=0; while [ $i -lt 1000 ]; do echo \"line $i of the output\"; i=$((i+1)); done\n"), {});
    ASSERT_EQ(r.outputLines.size(), 1000u);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(r.outputLines[i], "line " + std::to_string(i) + " of the output");
}

TEST_F(RunCommandTest, LargeErrorTextBeforeOutputCloses) {
    // 1 MiB on standard error while standard output is still open: far more
    // than a pipe holds, so reading one stream to its end first would hang.
    const std::string line(63, 'e');
    const CommandResult r = RunCommand(
        dir.script("noisy.sh", "yes " + line + " | head -n 16384 >&2\necho first\nprintf 'last without end'\n"), {});
    EXPECT_EQ(r.outcome, Outcome::Exited);
    ASSERT_EQ(r.errorLines.size(), 16384u);
    EXPECT_EQ(r.errorLines.front(), line);
    EXPECT_EQ(r.errorLines.back(), line);
    EXPECT_THAT(r.outputLines, ElementsAre("first", "last without end"));
}

TEST_F(RunCommandTest, EmptyEnvironmentNoInputOwnFolder) {
    ::setenv("GEOVANTA_PROBE", "visible", 1);
    const CommandResult r = RunCommand(dir.script("env.sh", "env\nif read x; then echo input; else echo no input; fi\npwd -P\n"), {});
    ::unsetenv("GEOVANTA_PROBE");
    std::vector<std::string> expected{"no input", std::filesystem::current_path().string()};
    ASSERT_GE(r.outputLines.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(r.outputLines.end() - 2, r.outputLines.end()), expected);
    // The shell exports its own PWD; nothing of ours may come through.
    for (std::size_t i = 0; i + 2 < r.outputLines.size(); ++i)
        EXPECT_EQ(r.outputLines[i].rfind("PWD=", 0), 0u) << r.outputLines[i];
}

TEST_F(RunCommandTest, MissingCrashingAndFailingPrograms) {
    const std::string missing = dir.file("no-such-program");
    const CommandResult notThere = RunCommand(missing, {"x"});
    EXPECT_EQ(notThere.outcome, Outcome::NotStarted);
    EXPECT_FALSE(notThere.startError.empty());
    EXPECT_THAT(notThere.outputLines, IsEmpty());
    EXPECT_EQ(notThere.failureReason(missing).rfind("could not start " + missing + ": ", 0), 0u);

    const std::string plain = dir.file("not-executable");
    std::ofstream(plain) << "echo hi\n";
    EXPECT_EQ(RunCommand(plain, {}).outcome, Outcome::NotStarted);

    const CommandResult crashed = RunCommand(dir.script("crash.sh", "echo before\nkill -SEGV $$\necho after\n"), {});
    EXPECT_EQ(crashed.outcome, Outcome::Crashed);
    EXPECT_THAT(crashed.outputLines, ElementsAre("before"));

    const CommandResult failed = RunCommand(dir.script("fail.sh", "echo 'Error: bad file' >&2\nexit 3\n"), {});
    EXPECT_EQ(failed.outcome, Outcome::Exited);
    EXPECT_EQ(failed.exitCode, 3);
    EXPECT_THAT(failed.errorLines, ElementsAre("Error: bad file"));
    EXPECT_EQ(failed.failureReason("fail.sh"), "fail.sh exited with code 3 (Error: bad file)");
}

}  // namespace
}  // namespace geovanta

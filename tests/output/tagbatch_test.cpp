// The tag batch against ExifTools that misbehave: scripts in ExifTool's
// place, run as real child processes.
#include "output/tagbatch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "output/exiftoolsession.h"
#include "output/photorows.h"
#include "runtime/keptprocess.h"
#include "support/tempdir.h"
#include "table/datatable.h"

namespace geovanta {
namespace {

using ::testing::AllOf;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using namespace std::chrono_literals;

class Silent : public TagBatchObserver {
public:
    void photoDone(std::size_t, const TagWriter::Result&, bool) override {}
    void notice(const std::string&) override {}
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Answers every command the way ExifTool does, with "-echo4" and "{ready}".
constexpr const char* kAnswer = "    case \"$line\" in -execute*) id=${line#-execute}\n"
                                "      echo \"{ready$id} 0\" >&2; echo \"{ready$id}\";; esac\n";

class TagBatchTest : public ::testing::Test {
protected:
    // Four photographs, each file unlike the others.
    void SetUp() override {
        for (int i = 1; i <= 4; ++i) {
            const std::string name = dir.write(std::to_string(i) + ".jpg", "photo " + std::to_string(i));
            test::addPhoto(table, name, 50 + i, 10);
            jobs.push_back(TagWriter::job(table, table.rowCount() - 1));
        }
    }
    // Runs the batch with `script` in ExifTool's place; how long it took.
    std::chrono::milliseconds run(const std::string& script, TagBatch::Settings settings = {}) {
        program = tools.script("exiftool", script);
        ExifToolSessions sessions(program, KeptProcess::maker());
        TagWriter writer(sessions);
        TagBatch batch(writer, settings);
        Silent silent;
        std::thread aborter;
        if (abortAfter) aborter = std::thread([&] {
            std::this_thread::sleep_for(*abortAfter);
            batch.abort();
        });
        const auto start = std::chrono::steady_clock::now();
        out = batch.run(jobs, silent);
        const auto took = std::chrono::steady_clock::now() - start;
        if (aborter.joinable()) aborter.join();
        return std::chrono::duration_cast<std::chrono::milliseconds>(took);
    }
    // Every photograph is named once, as failed or not tried, and is as it was.
    void expectEveryPhotoNamedAndUntouched() {
        std::vector<std::string> named = out.failures;
        named.insert(named.end(), out.untried.begin(), out.untried.end());
        ASSERT_EQ(named.size(), 4u);
        for (int i = 1; i <= 4; ++i) {
            EXPECT_THAT(named[i - 1], StartsWith("\"" + dir.file(std::to_string(i) + ".jpg") + "\": "));
            EXPECT_EQ(readFile(dir.file(std::to_string(i) + ".jpg")), "photo " + std::to_string(i));
        }
        EXPECT_EQ(out.written, 0);
    }

    test::TempDir dir, tools;
    DataTable table;
    std::vector<TagJob> jobs;
    std::string program;
    std::optional<std::chrono::milliseconds> abortAfter;
    TagBatch::Outcome out;
};

// However ExifTool fails to answer, each photograph costs one deadline at
// most, two in a row end the batch, and no output grows without bound.
TEST_F(TagBatchTest, ExifToolsThatDoNotAnswerCostADeadlineEach) {
    const std::string noAnswer = "ExifTool did not answer within 1 s";
    const std::string twice = "not tried: ExifTool did not answer twice in a row";
    const struct {
        const char* what;
        std::string script;
        std::string reason;
        std::string rest;  // the reason of the last two
        std::chrono::milliseconds within;
    } cases[] = {
        {"never answers", "cat >/dev/null\n", noAnswer, twice, 4s},
        {"prints garbage", "printf 'Warning: \\001\\002 {rea\\n'; cat >/dev/null\n", noAnswer, twice, 4s},
        {"floods", "exec yes '{ready'\n", "ExifTool printed more than 1 MB without answering", twice, 900ms},
        {"answers once, then hangs", std::string("while IFS= read -r line; do\n") + kAnswer +
                                         "    case \"$line\" in -execute*) exec cat >/dev/null;; esac\ndone\n",
         noAnswer, twice, 4s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TagBatch::Settings settings;
        settings.answerWithin = 1s;
        const auto took = run(c.script, settings);
        EXPECT_LT(took, c.within);
        expectEveryPhotoNamedAndUntouched();
        ASSERT_GE(out.failures.size(), 2u);
        EXPECT_THAT(out.failures[0], EndsWith(c.reason));
        EXPECT_THAT(out.failures[1], EndsWith(c.reason));
        EXPECT_THAT(out.failures.size() == 2 ? out.untried[1] : out.failures[3], EndsWith(c.rest));
        EXPECT_FALSE(out.aborted);
    }
}

// Whether a process is gone, or at most a zombie no one has reaped yet,
// within the moment a killed process takes to go.
bool gone(pid_t pid) {
    for (int tries = 0; tries < 100; ++tries) {
        const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
        if (stat.empty() || stat.find(") Z ") != std::string::npos) return true;
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

// An ExifTool that ends between photographs, each time leaving a child of its
// own behind: the end is seen before the next photograph is sent, a new one
// takes it and nothing fails; one that ends before it ever takes a photograph
// is started five times, then the batch stops and says why. Nothing either
// of them started outlives it.
TEST_F(TagBatchTest, ExifToolsThatEndBetweenPhotographs) {
    const std::string pids = tools.file("pids");
    const auto script = [&](const char* endsAfter) {
        return "while IFS= read -r line; do\n"
               "  case \"$line\" in\n"
               "    -execute*) id=${line#-execute}; echo \"{ready$id} 0\" >&2; echo \"{ready$id}\"\n"
               "      case \"" + std::string(endsAfter) + "$file\" in ?*) sleep 1000 & echo $! >>'" + pids +
               "'; exit 0;; esac;;\n"
               "    /*) file=1;;\n"
               "  esac\n"
               "done\n";
    };
    const struct {
        const char* what;
        const char* endsAfter;  // empty: after a photograph, else after any command
        int written;
    } cases[] = {{"after each photograph", "", 4}, {"after each command", "any", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(pids);
        const auto took = run(script(c.endsAfter));
        EXPECT_LT(took, 5s);
        EXPECT_EQ(out.written, c.written);
        if (c.written == 0) {
            expectEveryPhotoNamedAndUntouched();
            const std::string reason = "not tried: " + program + " ended 5 times in a row without writing a photograph";
            ASSERT_EQ(out.failures.size(), 1u);
            EXPECT_THAT(out.failures[0], EndsWith(reason));
            EXPECT_THAT(out.untried[2], EndsWith(reason));
        } else {
            EXPECT_THAT(out.failures, ::testing::IsEmpty());
        }
        std::istringstream started(readFile(pids));
        int children = 0;
        for (pid_t pid; started >> pid; ++children) EXPECT_TRUE(gone(pid)) << pid;
        EXPECT_EQ(children, c.written ? 4 : 5);
    }
    // One that never answers at all is no different.
    run("exit 0\n");
    ASSERT_EQ(out.failures.size(), 1u);
    EXPECT_THAT(out.failures[0], EndsWith("ended 5 times in a row without writing a photograph"));
}

// After an abort the photograph in flight gets its grace, then its ExifTool
// is ended with everything it started.
TEST_F(TagBatchTest, AbortEndsAHangingExifToolAfterTheGrace) {
    const std::string pidFile = tools.file("child");
    abortAfter = 300ms;
    TagBatch::Settings settings;
    settings.abortGrace = 500ms;
    const auto took = run("sleep 1000 & echo $! >'" + pidFile + "'\ncat >/dev/null\n", settings);
    EXPECT_GE(took, 800ms);
    EXPECT_LT(took, 2500ms);
    EXPECT_TRUE(out.aborted);
    expectEveryPhotoNamedAndUntouched();
    ASSERT_EQ(out.failures.size(), 1u);
    EXPECT_THAT(out.failures[0], EndsWith("ExifTool was ended by the abort before it answered"));
    EXPECT_THAT(out.untried[2], AllOf(HasSubstr("4.jpg"), EndsWith("not tried after the abort")));
    EXPECT_TRUE(gone(std::stoi(readFile(pidFile))));
}

// After an abort, an ExifTool that has answered is not waited for either,
// even one that would not end by itself.
TEST_F(TagBatchTest, AbortWaitsForNoIdleExifTool) {
    abortAfter = 300ms;
    TagBatch::Settings settings;
    settings.abortGrace = 300ms;
    settings.writers = 2;
    const auto took = run(std::string("while :; do IFS= read -r line || exec sleep 1000\n"
                                      "  case \"$line\" in */2.jpg) exec sleep 1000;; esac\n") +
                              kAnswer + "done\n",
                          settings);
    EXPECT_LT(took, 2s);
    EXPECT_EQ(out.written, 3);
    ASSERT_EQ(out.failures.size(), 1u);
    EXPECT_THAT(out.failures[0], AllOf(HasSubstr("2.jpg"), EndsWith("ended by the abort before it answered")));
}

}  // namespace
}  // namespace geovanta

// The command-line tool's whole CSV job on the million-point track (read,
// bind, write the CSV to /dev/null) against GPSBabel turning the same file
// into CSV, in the same run; and the CSV writing alone, to set beside
// BM_LoadAndBindMillionPointTrack.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "bigtrack.h"
#include "input/trackreader.h"
#include "output/csvwriter.h"
#include "runtime/processrunner.h"
#include "table/datatable.h"

using namespace geovanta;

namespace {

// Seconds of wall time for one run of `program`; negative when it failed.
double timedRun(const std::string& program, const std::vector<std::string>& args) {
    const auto start = std::chrono::steady_clock::now();
    const CommandResult r = RunCommand(program, args);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return r.succeeded() ? seconds : -1;
}

// The program's full path from PATH, or empty.
std::string onPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const auto candidate = std::filesystem::path(dir) / name;
        std::error_code ec;
        if (std::filesystem::is_regular_file(candidate, ec)) return candidate.string();
    }
    return "";
}

void BM_CsvJobVersusGpsBabel(benchmark::State& state) {
    const std::string& track = bench::bigTrack();
    const std::string cli = std::string(GEOVANTA_BIN_DIR) + "/geovanta-cli";
    const std::string gpsbabel = onPath("gpsbabel");
    if (track.empty() || gpsbabel.empty()) {
        state.SkipWithError("needs the track file and gpsbabel (make bench installs it)");
        return;
    }
    double ours = 0, theirs = 0;
    for (auto _ : state) {
        // The best of three of ours against one of theirs, which takes some
        // twenty times as long: a busy moment hurts both alike.
        std::vector<double> runs;
        for (int i = 0; i < 3; ++i) runs.push_back(timedRun(cli, {"--csv", "/dev/null", track}));
        theirs = timedRun(gpsbabel, {"-t", "-i", "ozi", "-f", track, "-o", "unicsv", "-F", "/dev/null"});
        ours = *std::min_element(runs.begin(), runs.end());
        if (ours <= 0 || theirs <= 0) state.SkipWithError("a run failed");
    }
    state.counters["geovanta_s"] = ours;
    state.counters["gpsbabel_s"] = theirs;
    state.counters["times_faster"] = ours > 0 ? theirs / ours : 0;
}
BENCHMARK(BM_CsvJobVersusGpsBabel)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// Counts the bytes and drops them, so that only the formatting is timed.
class NullBuffer : public std::streambuf {
public:
    std::size_t bytes = 0;

protected:
    std::streamsize xsputn(const char*, std::streamsize n) override {
        bytes += static_cast<std::size_t>(n);
        return n;
    }
    int overflow(int c) override {
        ++bytes;
        return c;
    }
};

void BM_CsvWriteMillionRows(benchmark::State& state) {
    DataTable table;
    uint16_t tracks = 0;
    if (bench::bigTrack().empty() || !TrackReader(table, tracks, BindingParams{}).load(bench::bigTrack()).ok()) {
        state.SkipWithError("the track did not load");
        return;
    }
    NullBuffer sink;
    std::ostream out(&sink);
    for (auto _ : state) CsvWriter::write(table, out);
    state.counters["rows"] = static_cast<double>(table.rowCount());
    state.counters["MB"] = static_cast<double>(sink.bytes) / 1e6 / static_cast<double>(state.iterations());
}
BENCHMARK(BM_CsvWriteMillionRows)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace

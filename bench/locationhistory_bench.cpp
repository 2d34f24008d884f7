// The location history reader on a generated archive of fixes of about
// 430 MB (1.5 million fixes written as the archive writes them, indented,
// each with an activity of its own: about 290 bytes a fix), written once per
// run into the temporary folder and left there.
//
// Read from the disk piece by piece, memory must not grow with the file:
// with every fix kept the peak is the rows' memory (about 160 MB here); with
// all but one fix in fifty left out as inaccurate it stays a few MB (4 MB
// here) whatever the file's size. Read whole into memory first, as a
// compressed file is, the peak is the file itself (410 MB here).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "bigfiles.h"
#include "input/locationhistoryreader.h"
#include "input/wholefile.h"
#include "peakmemory.h"
#include "table/datatable.h"

using namespace geovanta;
using namespace geovanta::bench;

namespace {

constexpr int kFixes = 1'500'000;
// Accuracies run over 5..54 m: a limit of 100 m keeps every fix, 5 m one in fifty.
constexpr double kKeepAll = 100, kKeepFew = 5;

const std::string& bigArchiveFile() {
    static const std::string path = [] {
        const std::string file = benchFilePath("geovanta-bench-Records.json");
        File out(std::fopen(file.c_str(), "wb"), &std::fclose);
        if (!out) return std::string();
        std::fputs("{\n  \"locations\": [", out.get());
        for (int i = 0; i < kFixes; ++i) {
            const WalkPoint p = walkPoint(i);
            std::fprintf(out.get(),
                         "%s{\n    \"timestampMs\": \"%lld\",\n    \"latitudeE7\": %lld,\n"
                         "    \"longitudeE7\": %lld,\n    \"accuracy\": %d,\n    \"altitude\": %d,\n"
                         "    \"activity\": [{\n      \"timestampMs\": \"%lld\",\n      \"activity\": [{\n"
                         "        \"type\": \"STILL\",\n        \"confidence\": 100\n      }]\n    }]\n  }",
                         i ? ", " : "", 1291161600000LL + p.second * 1000LL, std::llround(p.lat * 1e7),
                         std::llround(p.lon * 1e7), 5 + i % 50, static_cast<int>(p.elevFeet * 0.3048),
                         1291161600000LL + p.second * 1000LL + 500);
        }
        std::fputs("]\n}\n", out.get());
        return file;
    }();
    return path;
}

std::size_t expectedRows(double limit) { return limit >= kKeepAll ? kFixes : kFixes / 50; }

void report(benchmark::State& state, const std::string& path) {
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    state.counters["fixes"] = kFixes;
}

void BM_LocationHistoryFromDisk(benchmark::State& state) {
    const std::string& path = bigArchiveFile();
    const double limit = static_cast<double>(state.range(0));
    timeLoads(state, [&](DataTable& table) {
        uint16_t tracks = 0;
        GpsRead read(table, path, tracks);
        read.options.maxAccuracyM = limit;
        return readLocationHistoryFile(read).ok() && table.rowCount() == expectedRows(limit);
    });
    report(state, path);
}
BENCHMARK(BM_LocationHistoryFromDisk)->Arg(kKeepAll)->Arg(kKeepFew)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LocationHistoryWholeInMemory(benchmark::State& state) {
    const std::string& path = bigArchiveFile();
    timeLoads(state, [&](DataTable& table) {
        FileBytes bytes;
        if (readWholeFile(path, bytes)) return false;
        uint16_t tracks = 0;
        GpsRead read(table, path, tracks);
        read.options.maxAccuracyM = kKeepFew;
        read.spent = &bytes;
        return readLocationHistory(bytes, read).ok() && table.rowCount() == expectedRows(kKeepFew);
    });
    report(state, path);
}
BENCHMARK(BM_LocationHistoryWholeInMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

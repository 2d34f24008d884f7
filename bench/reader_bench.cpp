// Track reader on a generated million-point track (about 70 MB): load and
// bind, against reading the file's bytes once; peak_MB is the memory the
// load and bind took at their peak.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bigfiles.h"
#include "input/trackreader.h"
#include "peakmemory.h"
#include "binding/calcpositions.h"
#include "table/datatable.h"

using namespace geovanta;
using namespace geovanta::bench;

namespace {

void BM_LoadAndBindMillionPointTrack(benchmark::State& state) {
    const std::string& path = bigTrackFile();
    if (path.empty()) {
        state.SkipWithError("cannot write the track file");
        return;
    }
    timeLoads(state, [&](DataTable& table) {
        uint16_t trackCounter = 0;
        const bool loaded = TrackReader(table, trackCounter).load(path).ok();
        CalcPositions(table, BindingParams{});
        return loaded && table.rowCount() == kBigFilePoints;
    });
    state.counters["points"] = kBigFilePoints;
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}
BENCHMARK(BM_LoadAndBindMillionPointTrack)->Unit(benchmark::kMillisecond)->Iterations(5);

// Baseline: the same file's bytes read once into memory.
void BM_BaselineReadFileBytes(benchmark::State& state) {
    const std::string& path = bigTrackFile();
    const auto size = static_cast<std::size_t>(std::filesystem::file_size(path));
    for (auto _ : state) {
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(path.c_str(), "rb"), &std::fclose);
        std::vector<char> bytes(size);
        const std::size_t n = std::fread(bytes.data(), 1, size, in.get());
        benchmark::DoNotOptimize(bytes.data());
        if (n != size) state.SkipWithError("short read");
    }
}
BENCHMARK(BM_BaselineReadFileBytes)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

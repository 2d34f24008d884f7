// Track reader on a generated million-point track (about 70 MB): load and
// bind, against reading the file's bytes once.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bigtrack.h"
#include "input/trackreader.h"
#include "table/datatable.h"

using namespace geovanta;

namespace {

using bench::bigTrack;
constexpr int kPoints = bench::kBigTrackPoints;

void BM_LoadAndBindMillionPointTrack(benchmark::State& state) {
    const std::string& path = bigTrack();
    if (path.empty()) {
        state.SkipWithError("cannot write the track file");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto table = std::make_unique<DataTable>();
        uint16_t trackCounter = 0;
        state.ResumeTiming();
        const LoadResult r = TrackReader(*table, trackCounter, BindingParams{}).load(path);
        if (!r.ok() || table->rowCount() != kPoints) state.SkipWithError("the track did not load");
        state.PauseTiming();
        table.reset();
        state.ResumeTiming();
    }
    state.counters["points"] = kPoints;
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}
BENCHMARK(BM_LoadAndBindMillionPointTrack)->Unit(benchmark::kMillisecond)->Iterations(5);

// Baseline: the same file's bytes read once into memory.
void BM_BaselineReadFileBytes(benchmark::State& state) {
    const std::string& path = bigTrack();
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

// Track reader on a generated million-point track (about 70 MB): load and
// bind, against reading the file's bytes once. The file stays in the temp
// folder as geovanta-bench-big.plt so that other tools can be timed on it.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "input/trackreader.h"
#include "table/datatable.h"

using namespace geovanta;

namespace {

constexpr int kPoints = 1000000;

// One point a second from 1 December 2010, written the way the GPS
// software writes them: padded degrees, feet, days, date and time texts.
const std::string& bigTrack() {
    static const std::string path = [] {
        const std::string file = (std::filesystem::temp_directory_path() / "geovanta-bench-big.plt").string();
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(file.c_str(), "wb"), &std::fclose);
        if (!out) return std::string();
        std::fputs("OziExplorer Track Point File Version 2.1\r\nWGS 84\r\nAltitude is in Feet\r\nReserved 3\r\n"
                   "0,2,255,Big,0,0,2,8421376\r\n1000000\r\n",
                   out.get());
        for (int i = 0; i < kPoints; ++i) {
            const int s = i % 86400;
            std::fprintf(out.get(), "%12.7f,%12.7f,%d,%7.1f,%.7f,01-Dec-10, %02d:%02d:%02d\r\n", 55.0 + i * 1e-6,
                         37.0 + i * 1.5e-6, i == 0 ? 1 : 0, 400.0 + (i % 500) * 0.5, 40513.0 + i / 86400.0, s / 3600,
                         s / 60 % 60, s % 60);
        }
        return file;
    }();
    return path;
}

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

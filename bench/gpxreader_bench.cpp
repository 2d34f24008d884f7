// GPX reader on the generated million-point walk (about 110 MB): load and
// bind, the CSV of the loaded table, and the whole road from file to CSV
// against GPSBabel doing the same (gpsbabel -t -i gpx -f FILE -o unicsv
// -F /dev/null, installed by `make bench`) in the same run. The last one also
// compares the peak memory of loading the walk as GPX and as a track file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bigfiles.h"
#include "input/gpxreader.h"
#include "input/trackreader.h"
#include "output/csvwriter.h"
#include "peakmemory.h"
#include "table/datatable.h"
#include "timing.h"

using namespace geovanta;
using namespace geovanta::bench;

namespace {

bool loadGpx(DataTable& table, const std::string& path) {
    uint16_t tracks = 0;
    const LoadResult r = GpxReader(table, tracks, BindingParams{}).load(path);
    return r.ok() && table.rowCount() == kBigFilePoints;
}

void writeCsv(const DataTable& table) {
    std::ofstream out("/dev/null", std::ios::binary);
    CsvWriter::write(table, out);
}

void BM_LoadAndBindMillionPointGpx(benchmark::State& state) {
    const std::string& path = bigGpxFile();
    if (path.empty()) {
        state.SkipWithError("cannot write the GPX file");
        return;
    }
    timeLoads(state, [&](DataTable& table) { return loadGpx(table, path); });
    state.counters["points"] = kBigFilePoints;
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}
BENCHMARK(BM_LoadAndBindMillionPointGpx)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_CsvOfMillionPointGpx(benchmark::State& state) {
    DataTable table;
    if (!loadGpx(table, bigGpxFile())) {
        state.SkipWithError("the GPX file did not load");
        return;
    }
    for (auto _ : state) writeCsv(table);
    state.counters["points"] = kBigFilePoints;
}
BENCHMARK(BM_CsvOfMillionPointGpx)->Unit(benchmark::kMillisecond)->Iterations(3);

// The timed part is ours, file to CSV; GPSBabel runs once after it. Times
// are wall clock; the _cpu ratios count processor time, steadier on a
// machine others use too.
void BM_GpxToCsvAgainstGpsbabel(benchmark::State& state) {
    const std::string& gpx = bigGpxFile();
    Seconds load, csv;
    for (auto _ : state) {
        auto table = std::make_unique<DataTable>();
        load = timed([&] {
            if (!loadGpx(*table, gpx)) state.SkipWithError("the GPX file did not load");
        });
        csv = timed([&] { writeCsv(*table); });
        state.PauseTiming();
        table.reset();
        state.ResumeTiming();
    }
    double gpsbabelPeak = 0;
    const std::optional<Seconds> gpsbabel =
        runChild({"gpsbabel", "-t", "-i", "gpx", "-f", gpx, "-o", "unicsv", "-F", "/dev/null"}, gpsbabelPeak);
    if (!gpsbabel) {
        state.SkipWithError("gpsbabel did not run: `make bench` installs it");
        return;
    }

    double pltPeak = 0, gpxPeak = 0;
    {
        DataTable table;
        uint16_t trackCounter = 0;
        const PeakMemory memory;
        if (!TrackReader(table, trackCounter, BindingParams{}).load(bigTrackFile()).ok()) state.SkipWithError("the track did not load");
        pltPeak = memory.mb();
    }
    {
        DataTable table;
        const PeakMemory memory;
        loadGpx(table, gpx);
        gpxPeak = memory.mb();
    }
    state.counters["load_bind_s"] = load.wall;
    state.counters["csv_s"] = csv.wall;
    state.counters["gpsbabel_s"] = gpsbabel->wall;
    state.counters["x_faster"] = gpsbabel->wall / (load.wall + csv.wall);
    state.counters["x_faster_cpu"] = gpsbabel->cpu / (load.cpu + csv.cpu);
    state.counters["load_bind_x_faster"] = gpsbabel->wall / load.wall;
    state.counters["load_bind_x_faster_cpu"] = gpsbabel->cpu / load.cpu;
    state.counters["gpsbabel_peak_MB"] = gpsbabelPeak;
    state.counters["plt_peak_MB"] = pltPeak;
    state.counters["gpx_peak_MB"] = gpxPeak;
    state.counters["peak_vs_plt"] = gpxPeak / pltPeak;
}
BENCHMARK(BM_GpxToCsvAgainstGpsbabel)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

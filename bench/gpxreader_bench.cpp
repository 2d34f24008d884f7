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
#include "binding/calcpositions.h"
#include "table/datatable.h"
#include "timing.h"

using namespace geovanta;
using namespace geovanta::bench;

namespace {

bool loadGpx(DataTable& table, const std::string& path) {
    uint16_t tracks = 0;
    const LoadResult r = GpxReader(table, tracks).load(path);
    CalcPositions(table, BindingParams{});
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

// The command-line tool's whole job, file to CSV (geovanta-cli --csv
// /dev/null FILE), against GPSBabel (gpsbabel -t -i gpx -f FILE -o unicsv
// -F /dev/null, installed by `make bench`), alternately in rounds. Target:
// x_faster at least 5. In this process: load and bind and the CSV timed
// apart, and the peak memory of loading the walk as GPX (target: at most
// 140 MB) and as a track file (at most 120 MB).
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
    const Comparison c = compareRuns({cliPath(), "--csv", "/dev/null", gpx},
                                     {"gpsbabel", "-t", "-i", "gpx", "-f", gpx, "-o", "unicsv", "-F", "/dev/null"},
                                     comparisonRounds());
    if (!c.ok) {
        state.SkipWithError("geovanta-cli or gpsbabel did not run: `make bench` installs gpsbabel");
        return;
    }

    double pltPeak = 0, gpxPeak = 0;
    {
        DataTable table;
        uint16_t trackCounter = 0;
        const PeakMemory memory;
        if (!TrackReader(table, trackCounter).load(bigTrackFile()).ok()) state.SkipWithError("the track did not load");
        CalcPositions(table, BindingParams{});
        pltPeak = memory.mb();
    }
    {
        DataTable table;
        const PeakMemory memory;
        loadGpx(table, gpx);
        gpxPeak = memory.mb();
    }
    reportComparison(state, c, "gpsbabel");
    state.counters["load_bind_s"] = load.wall;
    state.counters["csv_s"] = csv.wall;
    state.counters["in_process_x_faster"] = c.medianPeer() / (load.wall + csv.wall);
    state.counters["plt_peak_MB"] = pltPeak;
    state.counters["gpx_peak_MB"] = gpxPeak;
}
BENCHMARK(BM_GpxToCsvAgainstGpsbabel)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

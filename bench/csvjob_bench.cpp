// The command-line tool's whole CSV job on the million-point track file:
// read, bind and write the CSV (geovanta-cli --csv /dev/null FILE), against
// GPSBabel turning the same file into CSV (gpsbabel -t -i ozi -f FILE -o
// unicsv -F /dev/null, installed by `make bench`), alternately in rounds.
// Target: x_faster at least 20. The job is also timed in this process, split
// into load and bind and the CSV, with the load's peak memory (target: at
// most 120 MB).
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <string>

#include "bigfiles.h"
#include "input/trackreader.h"
#include "output/csvwriter.h"
#include "peakmemory.h"
#include "binding/calcpositions.h"
#include "table/datatable.h"
#include "timing.h"

using namespace geovanta;
using namespace geovanta::bench;

namespace {

void BM_TrackToCsvAgainstGpsbabel(benchmark::State& state) {
    const std::string& track = bigTrackFile();
    if (track.empty()) {
        state.SkipWithError("cannot write the track file");
        return;
    }
    Seconds load, csv;
    double peak = 0;
    for (auto _ : state) {
        auto table = std::make_unique<DataTable>();
        const PeakMemory memory;
        load = timed([&] {
            uint16_t tracks = 0;
            if (!TrackReader(*table, tracks).load(track).ok()) state.SkipWithError("no track");
            CalcPositions(*table, BindingParams{});
        });
        peak = memory.mb();
        csv = timed([&] {
            std::ofstream out("/dev/null", std::ios::binary);
            CsvWriter::write(*table, out);
        });
        state.PauseTiming();
        table.reset();
        state.ResumeTiming();
    }
    const Comparison c = compareRuns({cliPath(), "--csv", "/dev/null", track},
                                     {"gpsbabel", "-t", "-i", "ozi", "-f", track, "-o", "unicsv", "-F", "/dev/null"},
                                     comparisonRounds());
    if (!c.ok) {
        state.SkipWithError("geovanta-cli or gpsbabel did not run: `make bench` installs gpsbabel");
        return;
    }
    reportComparison(state, c, "gpsbabel");
    state.counters["load_bind_s"] = load.wall;
    state.counters["csv_s"] = csv.wall;
    state.counters["load_peak_MB"] = peak;
}
BENCHMARK(BM_TrackToCsvAgainstGpsbabel)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

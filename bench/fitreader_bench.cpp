// FIT reader on the generated million-point ride (about 22 MB): the read
// alone, and the command-line tool's whole job, file to CSV (geovanta-cli
// --csv /dev/null FILE), against GPSBabel doing the same (gpsbabel -t -i
// garmin_fit -f FILE -o unicsv -F /dev/null, installed by `make bench`),
// alternately in rounds. Target: x_faster at least 4, cli_peak_MB within a
// tenth of the GPX walk's.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bigfiles.h"
#include "input/fitreader.h"
#include "input/gpsread.h"
#include "input/wholefile.h"
#include "peakmemory.h"
#include "table/datatable.h"
#include "timing.h"

using namespace geovanta;
using namespace geovanta::bench;

namespace {

bool loadFit(DataTable& table, const std::string& path) {
    FileBytes bytes;
    if (readWholeFile(path, bytes)) return false;
    uint16_t tracks = 0;
    GpsRead read(table, path, tracks);
    read.spent = &bytes;
    return readFit(bytes, read).ok() && table.rowCount() == kBigFilePoints;
}

void BM_ReadMillionPointFit(benchmark::State& state) {
    const std::string& path = bigFitFile();
    if (path.empty()) {
        state.SkipWithError("cannot write the FIT file");
        return;
    }
    timeLoads(state, [&](DataTable& table) { return loadFit(table, path); });
    state.counters["points"] = kBigFilePoints;
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}
BENCHMARK(BM_ReadMillionPointFit)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_FitToCsvAgainstGpsbabel(benchmark::State& state) {
    const std::string& path = bigFitFile();
    for (auto _ : state) {
        const Comparison c = compareRuns({cliPath(), "--csv", "/dev/null", path},
                                         {"gpsbabel", "-t", "-i", "garmin_fit", "-f", path, "-o", "unicsv", "-F", "/dev/null"},
                                         comparisonRounds());
        if (!c.ok) {
            state.SkipWithError("geovanta-cli or gpsbabel did not run: `make bench` installs gpsbabel");
            return;
        }
        reportComparison(state, c, "gpsbabel");
    }
}
BENCHMARK(BM_FitToCsvAgainstGpsbabel)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

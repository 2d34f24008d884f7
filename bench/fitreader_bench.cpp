// FIT reader on the generated million-point ride (about 22 MB): the read
// alone, and read, bind and CSV in this process against GPSBabel turning the
// same file into CSV (gpsbabel -t -i garmin_fit -f FILE -o unicsv -F
// /dev/null, installed by `make bench`). Target: x_faster at least 4.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bigfiles.h"
#include "binding/calcpositions.h"
#include "input/fitreader.h"
#include "input/gpsread.h"
#include "input/wholefile.h"
#include "output/csvwriter.h"
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

// Read, bind and CSV timed in this process, median of rounds, against
// GPSBabel's whole run in the same rounds.
void BM_FitToCsvAgainstGpsbabel(benchmark::State& state) {
    const std::string& path = bigFitFile();
    std::vector<double> ours, peer;
    for (auto _ : state) {
        for (int round = 0; round < comparisonRounds(); ++round) {
            const auto gpsbabel = runChild(
                {"gpsbabel", "-t", "-i", "garmin_fit", "-f", path, "-o", "unicsv", "-F", "/dev/null"}, true);
            if (!gpsbabel) {
                state.SkipWithError("gpsbabel did not run: `make bench` installs it");
                return;
            }
            auto table = std::make_unique<DataTable>();
            const Seconds s = timed([&] {
                if (!loadFit(*table, path)) state.SkipWithError("the FIT file did not load");
                CalcPositions(*table, BindingParams{});
                std::ofstream out("/dev/null", std::ios::binary);
                CsvWriter::write(*table, out);
            });
            ours.push_back(s.wall);
            peer.push_back(gpsbabel->time.wall);
        }
    }
    std::vector<double> ratios;
    for (std::size_t k = 0; k < ours.size(); ++k) ratios.push_back(peer[k] / ours[k]);
    state.counters["x_faster"] = Comparison::median(ratios);
    state.counters["in_process_s"] = Comparison::median(ours);
    state.counters["gpsbabel_s"] = Comparison::median(peer);
}
BENCHMARK(BM_FitToCsvAgainstGpsbabel)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

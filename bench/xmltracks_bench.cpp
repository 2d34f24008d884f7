// TCX and KML readers on the generated million-point walk (TCX about
// 460 MB, KML about 90 MB): the reader alone, file to rows with the file's
// bytes handed back as they are passed, and its peak memory; then the whole
// road from file to CSV against GPSBabel reading the same file (gpsbabel -t
// -i gtrnctr|kml -f FILE -o unicsv -F /dev/null, installed by `make
// bench`). Targets: x_faster at least 5 for both.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "bigfiles.h"
#include "binding/calcpositions.h"
#include "input/gpsread.h"
#include "input/kmlreader.h"
#include "input/tcxreader.h"
#include "input/wholefile.h"
#include "output/csvwriter.h"
#include "peakmemory.h"
#include "table/datatable.h"
#include "table/displaysuspension.h"
#include "timing.h"

using namespace geovanta;
using namespace geovanta::bench;

namespace {

// The file read whole, then its rows; `readerSeconds` adds the time of the
// reader alone.
bool readBig(DataTable& table, const std::string& path, GpsReaderFn reader, double* readerSeconds = nullptr) {
    FileBytes bytes;
    if (path.empty() || readWholeFile(path, bytes)) return false;
    uint16_t tracks = 0;
    GpsRead read(table, path, tracks);
    read.spent = &bytes;
    bool ok = false;
    const Seconds t = timed([&] { ok = reader(bytes, read).ok() && table.rowCount() == kBigFilePoints; });
    if (readerSeconds) *readerSeconds += t.wall;
    return ok;
}

void readMillionPoints(benchmark::State& state, const std::string& path, GpsReaderFn reader) {
    double readerSeconds = 0;
    timeLoads(state, [&](DataTable& table) { return readBig(table, path, reader, &readerSeconds); });
    state.counters["reader_s"] = readerSeconds / static_cast<double>(state.iterations());
    state.counters["points"] = kBigFilePoints;
    if (!path.empty()) state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}

void BM_ReadMillionPointTcx(benchmark::State& state) { readMillionPoints(state, bigTcxFile(), readTcx); }
BENCHMARK(BM_ReadMillionPointTcx)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReadMillionPointKml(benchmark::State& state) { readMillionPoints(state, bigKmlFile(), readKml); }
BENCHMARK(BM_ReadMillionPointKml)->Unit(benchmark::kMillisecond)->Iterations(3);

bool readAndBind(DataTable& table, const std::string& path, GpsReaderFn reader) {
    if (!readBig(table, path, reader)) return false;
    DisplaySuspension suspended(table);
    CalcPositions(table, BindingParams{});
    return true;
}

// The command-line tool's whole job, file to CSV (geovanta-cli --csv
// /dev/null FILE), against GPSBabel, alternately in rounds; in this process
// read, bind and CSV timed together, and the peak memory of reading and
// binding (the GPX file's: about 112 MB).
void againstGpsbabel(benchmark::State& state, const std::string& path, GpsReaderFn reader, const char* format) {
    Seconds inProcess;
    for (auto _ : state) {
        inProcess = timed([&] {
            auto table = std::make_unique<DataTable>();
            if (!readAndBind(*table, path, reader)) state.SkipWithError("the file did not load");
            std::ofstream out("/dev/null", std::ios::binary);
            CsvWriter::write(*table, out);
        });
    }
    const Comparison c = compareRuns({cliPath(), "--csv", "/dev/null", path},
                                     {"gpsbabel", "-t", "-i", format, "-f", path, "-o", "unicsv", "-F", "/dev/null"},
                                     comparisonRounds());
    if (!c.ok) {
        state.SkipWithError("geovanta-cli or gpsbabel did not run: `make bench` installs gpsbabel");
        return;
    }
    double peak = 0;
    {
        DataTable table;
        const PeakMemory memory;
        readAndBind(table, path, reader);
        peak = memory.mb();
    }
    reportComparison(state, c, "gpsbabel");
    state.counters["in_process_s"] = inProcess.wall;
    state.counters["in_process_x_faster"] = c.medianPeer() / inProcess.wall;
    state.counters["peak_MB"] = peak;
}

void BM_TcxAgainstGpsbabel(benchmark::State& state) { againstGpsbabel(state, bigTcxFile(), readTcx, "gtrnctr"); }
BENCHMARK(BM_TcxAgainstGpsbabel)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_KmlAgainstGpsbabel(benchmark::State& state) { againstGpsbabel(state, bigKmlFile(), readKml, "kml"); }
BENCHMARK(BM_KmlAgainstGpsbabel)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

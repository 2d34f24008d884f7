// TCX and KML readers on the generated million-point walk (TCX about
// 420 MB, KML about 80 MB): the reader alone, file to rows with the file's
// bytes handed back as they are passed, and its peak memory; then, for
// scale, the whole road in this process (read, bind, CSV) against GPSBabel
// reading the same file (gpsbabel -t -i gtrnctr|kml -f FILE -o unicsv
// -F /dev/null, installed by `make bench`), alternately in rounds. Target
// for the command-line tool's road: x_faster at least 5.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
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

// Read, bind and CSV here, GPSBabel in a child, taking turns; and the peak
// memory of reading and binding (the GPX file's: about 112 MB).
void againstGpsbabel(benchmark::State& state, const std::string& path, GpsReaderFn reader, const char* format) {
    Comparison c;
    for (auto _ : state) {
        for (int round = 0; round < comparisonRounds(); ++round) {
            Seconds ours;
            std::optional<ChildRun> peer;
            for (int k = 0; k < 2; ++k) {
                if ((k == 0) == (round % 2 == 0)) {
                    ours = timed([&] {
                        auto table = std::make_unique<DataTable>();
                        if (!readAndBind(*table, path, reader)) state.SkipWithError("the file did not load");
                        std::ofstream out("/dev/null", std::ios::binary);
                        CsvWriter::write(*table, out);
                    });
                } else {
                    peer = runChild({"gpsbabel", "-t", "-i", format, "-f", path, "-o", "unicsv", "-F", "/dev/null"},
                                    true);
                }
            }
            if (!peer) {
                state.SkipWithError("gpsbabel did not run: `make bench` installs it");
                return;
            }
            c.ratios.push_back(peer->time.wall / ours.wall);
            c.ours.push_back({ours, 0});
            c.peer.push_back(*peer);
        }
    }
    double peak = 0;
    {
        DataTable table;
        const PeakMemory memory;
        readAndBind(table, path, reader);
        peak = memory.mb();
    }
    state.counters["peak_MB"] = peak;
    state.counters["in_process_x_faster"] = c.medianRatio();
    state.counters["x_min"] = c.lowest();
    state.counters["x_max"] = c.highest();
    state.counters["ours_s"] = c.medianOurs();
    state.counters["gpsbabel_s"] = c.medianPeer();
    state.counters["gpsbabel_peak_MB"] = c.peakPeer();
}

void BM_TcxAgainstGpsbabel(benchmark::State& state) { againstGpsbabel(state, bigTcxFile(), readTcx, "gtrnctr"); }
BENCHMARK(BM_TcxAgainstGpsbabel)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_KmlAgainstGpsbabel(benchmark::State& state) { againstGpsbabel(state, bigKmlFile(), readKml, "kml"); }
BENCHMARK(BM_KmlAgainstGpsbabel)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

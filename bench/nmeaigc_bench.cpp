// The NMEA and IGC readers on the million-point walk: reading the file and
// the rows, without the binding pass, which is the load's (peak_MB is the
// memory at the read's peak); and the command-line tool's whole CSV job on
// each file against GPSBabel's conversion of it to CSV, alternately in
// rounds. The files are written once per run into the temporary folder,
// NMEA as a receiver logs it (RMC, GGA, GSA and VTG a second, about 225 MB)
// and IGC as a flight logger does (about 40 MB), and stay behind so that
// other tools can be timed on them.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "bigfiles.h"
#include "input/gpsread.h"
#include "input/igcreader.h"
#include "input/nmeareader.h"
#include "input/wholefile.h"
#include "peakmemory.h"
#include "table/datatable.h"
#include "timing.h"

using namespace geovanta;
using namespace geovanta::bench;

namespace {

// Positive degrees as whole degrees and `perMinute`ths of a minute, rounded
// as a whole so that a minute never reads 60.
struct Degrees {
    int whole, parts;
};
Degrees split(double degrees, int perMinute) {
    const long total = std::lround(degrees * 60 * perMinute);
    return {static_cast<int>(total / (60 * perMinute)), static_cast<int>(total % (60 * perMinute))};
}

void putSentence(std::FILE* out, const char* body) {
    unsigned sum = 0;
    for (const char* p = body; *p; ++p) sum ^= static_cast<unsigned char>(*p);
    std::fprintf(out, "$%s*%02X\r\n", body, sum);
}

const std::string& bigNmeaFile() {
    static const std::string path = [] {
        const std::string file = benchFilePath("geovanta-bench-big.nmea");
        File out(std::fopen(file.c_str(), "wb"), &std::fclose);
        if (!out) return std::string();
        char body[256];
        for (int i = 0; i < kBigFilePoints; ++i) {
            const WalkPoint p = walkPoint(i);
            const int s = p.second % 86400, day = 1 + p.second / 86400;
            // "ddmm.mmmm,N,dddmm.mmmm,E"
            const Degrees lat = split(p.lat, 10000), lon = split(p.lon, 10000);
            char where[64];
            std::snprintf(where, sizeof where, "%02d%02d.%04d,N,%03d%02d.%04d,E", lat.whole, lat.parts / 10000,
                          lat.parts % 10000, lon.whole, lon.parts / 10000, lon.parts % 10000);
            std::snprintf(body, sizeof body, "GPGGA,%02d%02d%02d.00,%s,1,08,0.9,%.1f,M,14.0,M,,", s / 3600,
                          s / 60 % 60, s % 60, where, p.elevFeet * 0.3048);
            putSentence(out.get(), body);
            putSentence(out.get(), "GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1");
            std::snprintf(body, sizeof body, "GPRMC,%02d%02d%02d.00,A,%s,0.5,54.7,%02d1210,,,A", s / 3600, s / 60 % 60,
                          s % 60, where, day);
            putSentence(out.get(), body);
            putSentence(out.get(), "GPVTG,54.7,T,,M,0.5,N,0.9,K,A");
        }
        return file;
    }();
    return path;
}

const std::string& bigIgcFile() {
    static const std::string path = [] {
        const std::string file = benchFilePath("geovanta-bench-big.igc");
        File out(std::fopen(file.c_str(), "wb"), &std::fclose);
        if (!out) return std::string();
        std::fputs("AXXX001 bench\r\nHFDTEDATE:011210,01\r\nI013638FXA\r\n", out.get());
        for (int i = 0; i < kBigFilePoints; ++i) {
            const WalkPoint p = walkPoint(i);
            const int s = p.second % 86400;
            const Degrees lat = split(p.lat, 1000), lon = split(p.lon, 1000);
            const long metres = std::lround(p.elevFeet * 0.3048);
            std::fprintf(out.get(), "B%02d%02d%02d%02d%05dN%03d%05dEA%05ld%05ld010\r\n", s / 3600, s / 60 % 60,
                         s % 60, lat.whole, lat.parts, lon.whole, lon.parts, metres - 20, metres);
        }
        return file;
    }();
    return path;
}

template <typename Reader>
void timeRead(benchmark::State& state, const std::string& path, Reader reader) {
    if (path.empty()) {
        state.SkipWithError("cannot write the file");
        return;
    }
    timeLoads(state, [&](DataTable& table) {
        FileBytes bytes;
        if (readWholeFile(path, bytes)) return false;
        uint16_t tracks = 0;
        GpsRead read(table, path, tracks);
        read.spent = &bytes;
        return reader(bytes, read).ok() && table.rowCount() == kBigFilePoints;
    });
    state.counters["points"] = kBigFilePoints;
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}

void BM_ReadMillionFixNmea(benchmark::State& state) { timeRead(state, bigNmeaFile(), readNmea); }
BENCHMARK(BM_ReadMillionFixNmea)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReadMillionFixIgc(benchmark::State& state) { timeRead(state, bigIgcFile(), readIgc); }
BENCHMARK(BM_ReadMillionFixIgc)->Unit(benchmark::kMillisecond)->Iterations(3);

void compareCsvJob(benchmark::State& state, const std::string& path, const char* gpsbabelFormat) {
    for (auto _ : state) {
        const Comparison c =
            compareRuns({cliPath(), "--csv", "/dev/null", path},
                        {"gpsbabel", "-t", "-i", gpsbabelFormat, "-f", path, "-o", "unicsv", "-F", "/dev/null"},
                        comparisonRounds());
        if (!c.ok) {
            state.SkipWithError("geovanta-cli or gpsbabel did not run: `make bench` installs gpsbabel");
            return;
        }
        reportComparison(state, c, "gpsbabel");
    }
}

void BM_NmeaToCsvAgainstGpsbabel(benchmark::State& state) { compareCsvJob(state, bigNmeaFile(), "nmea"); }
BENCHMARK(BM_NmeaToCsvAgainstGpsbabel)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_IgcToCsvAgainstGpsbabel(benchmark::State& state) { compareCsvJob(state, bigIgcFile(), "igc"); }
BENCHMARK(BM_IgcToCsvAgainstGpsbabel)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

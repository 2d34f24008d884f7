// Writing GPS tags: 200 small JPEGs placed on a track and written by the
// batch tag writer, against one `exiftool -geotag` run that places copies of
// the same photographs itself from the same track as GPX, in the same run.
// Both sides read the track and the photographs' times and write every
// photograph; ExifTool's own run is the yardstick.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/document.h"
#include "app/tagwrite.h"
#include "input/photoscanner.h"
#include "input/trackreader.h"
#include "output/exiftoolsession.h"
#include "app/streamconsole.h"
#include "output/tagwriterpool.h"
#include "runtime/keptprocess.h"
#include "runtime/processrunner.h"
#include "binding/calcpositions.h"
#include "table/datatable.h"

using namespace geovanta;
namespace fs = std::filesystem;

namespace {

constexpr int kPhotos = 200;

// A point every ten seconds from 09:59:50 on 1 May 2024, as .PLT and .GPX,
// and photographs taken five seconds after each point from 10:00:00, with
// copies for ExifTool. False when a tool is missing.
bool makeTrip(const fs::path& dir, const std::string& exiftool) {
    fs::create_directories(dir / "photos");
    fs::create_directories(dir / "copies");
    const std::string base = (dir / "base.jpg").string();
    if (std::system(("convert -size 64x48 xc:gray '" + base + "'").c_str()) != 0) return false;
    std::ofstream plt(dir / "track.plt", std::ios::binary), gpx(dir / "track.gpx", std::ios::binary);
    std::ofstream args(dir / "times.args", std::ios::binary);
    plt << "OziExplorer Track Point File Version 2.1\r\nWGS 84\r\nAltitude is in Feet\r\nReserved 3\r\n"
           "0,2,255,Trip,0,0,2,8421376\r\n"
        << kPhotos + 3 << "\r\n";
    gpx << "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"bench\" "
           "xmlns=\"http://www.topografix.com/GPX/1/1\"><trk><trkseg>\n";
    for (int i = -1; i < kPhotos + 2; ++i) {
        const int second = 36000 + 10 * i;
        char lat[24], lon[24], time[32], days[32];
        std::snprintf(lat, sizeof lat, "%.6f", 55.75 + i * 1e-4);
        std::snprintf(lon, sizeof lon, "%.6f", 37.61 + i * 1e-4);
        std::snprintf(time, sizeof time, "2024-05-01T%02d:%02d:%02dZ", second / 3600, second / 60 % 60, second % 60);
        std::snprintf(days, sizeof days, "%.10f", 45413 + second / 86400.0);
        const double feet = 500 + i;
        plt << lat << "," << lon << ",0," << feet << "," << days << ",,\r\n";
        gpx << "<trkpt lat=\"" << lat << "\" lon=\"" << lon << "\"><ele>" << feet * 0.3048 << "</ele><time>" << time
            << "</time></trkpt>\n";
    }
    gpx << "</trkseg></trk></gpx>\n";
    for (int i = 0; i < kPhotos; ++i) {
        const int second = 36005 + 10 * i;
        const std::string name = "IMG_" + std::to_string(1000 + i) + ".JPG";
        fs::copy_file(base, dir / "photos" / name);
        char stamp[48];
        std::snprintf(stamp, sizeof stamp, "-DateTimeOriginal=2024:05:01 %02d:%02d:%02d", second / 3600,
                      second / 60 % 60, second % 60);
        args << "-overwrite_original\n" << stamp << "\n" << (dir / "photos" / name).string() << "\n-execute\n";
    }
    plt.close();
    gpx.close();
    args.close();
    if (!RunCommand(exiftool, {"-q", "-q", "-@", (dir / "times.args").string()}).succeeded()) return false;
    for (const auto& entry : fs::directory_iterator(dir / "photos")) fs::copy_file(entry, dir / "copies" / entry.path().filename());
    return true;
}

void BM_TagWriterVersusExifToolGeotag(benchmark::State& state) {
    const std::string exiftool = std::string(GEOVANTA_BIN_DIR) + "/exiftool";
    const fs::path dir = fs::temp_directory_path() / "geovanta-tagwriter-bench";
    fs::remove_all(dir);
    if (!fs::exists(exiftool) || !makeTrip(dir, exiftool)) {
        state.SkipWithError("needs ImageMagick's convert and exiftool beside the programs");
        return;
    }
    std::ostringstream progress;
    StreamConsole console(progress, "");
    const auto sessions = std::make_shared<ExifToolSessions>(exiftool, KeptProcess::maker());
    double ours = 0, theirs = 0;
    int written = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        Document document(ProgramState{}, SettingsFile(std::string()));
        {
            std::optional<Document::Lease> lease = document.lease("load");
            DataTable& table = lease->rows();
            uint16_t tracks = 0;
            TrackReader(table, tracks).load((dir / "track.plt").string());
            LoadFotos(table, (dir / "photos").string());
            CalcPositions(table, BindingParams{});
        }
        const auto outcome = TagWrite::writeInline(document, console, sessions, TagWrite::Scope::All, {});
        written += outcome ? outcome->written : 0;
        const auto middle = std::chrono::steady_clock::now();
        // With no environment ExifTool takes the photographs' times as UTC,
        // like the GPX times.
        const bool geotagged = RunCommand(exiftool, {"-q", "-overwrite_original", "-P", "-geotag",
                                                     (dir / "track.gpx").string(), (dir / "copies").string()})
                                   .succeeded();
        const auto end = std::chrono::steady_clock::now();
        if (!geotagged) state.SkipWithError("exiftool -geotag failed");
        ours += std::chrono::duration<double>(middle - start).count();
        theirs += std::chrono::duration<double>(end - middle).count();
    }
    if (written != kPhotos * static_cast<int>(state.iterations())) state.SkipWithError("some photographs were not written");
    // The yardstick counts only if ExifTool placed the copies too.
    const CommandResult check = RunCommand(exiftool, {"-q", "-n", "-T", "-GPSLatitude", (dir / "copies").string()});
    int placed = 0;
    for (const std::string& line : check.outputLines) placed += line != "-";
    if (placed != kPhotos) state.SkipWithError("exiftool -geotag did not place every copy");
    const auto runs = static_cast<double>(state.iterations());
    state.counters["photos"] = kPhotos;
    state.counters["writers"] = TagWriterPool::writersFor(kPhotos);
    state.counters["geovanta_s"] = ours / runs;
    state.counters["geotag_s"] = theirs / runs;
    state.counters["ratio"] = theirs > 0 ? ours / theirs : 0;
    fs::remove_all(dir);
}
BENCHMARK(BM_TagWriterVersusExifToolGeotag)->Iterations(3)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

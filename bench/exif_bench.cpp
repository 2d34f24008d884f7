// Scanning a folder of 10,000 JPEG photographs with EXIF data. The folder is
// made once from one ImageMagick image tagged by ExifTool and kept in the
// temporary folder for later runs. The scan is timed in this process, and
// geovanta-cli on the folder against
//   exiftool -fast2 -s3 -DateTimeOriginal <folder>
// alternately in rounds, with the page cache warm and with it dropped before
// every run (targets: at least 100 and 20 times faster).
// Then 10,000 HEIC and 10,000 CR3 files beside it, each the start of a
// camera's file from the shared corpus (as much of it as holds the EXIF
// data), timed per photograph against the JPEG folder in the same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#include <utility>
#include <vector>

#include "input/exif.h"
#include "input/photoscanner.h"
#include "table/datatable.h"
#include "timing.h"

namespace fs = std::filesystem;
using namespace geovanta;

namespace {

constexpr int kPhotos = 10000;

// The cached folder, made when missing or incomplete; empty when the tools fail.
std::string photoFolder() {
    const fs::path folder = fs::temp_directory_path() / "geovanta-bench-photos";
    const fs::path last = folder / ("IMG_" + std::to_string(kPhotos - 1) + ".JPG");
    std::error_code ec;
    if (fs::exists(last, ec)) return folder.string() + "/";
    fs::create_directories(folder, ec);
    const fs::path model = folder / "model.jpg";
    const std::string make =
        "convert -size 640x480 gradient:gray10-gray90 -quality 90 '" + model.string() + "' && "
        "exiftool -q -overwrite_original -Make=Geovanta -Model=Bench -Software=ImageMagick "
        "-DateTimeOriginal='2010:12:01 11:15:00' -CreateDate='2010:12:01 11:15:00' -ExposureTime=1/125 "
        "-FNumber=5.6 -ISO=200 -FocalLength=35 -Orientation#=1 -UserComment='bench photo' '" + model.string() + "'";
    if (std::system(make.c_str()) != 0) return {};
    for (int k = 0; k < kPhotos; ++k) {
        const fs::path p = folder / ("IMG_" + std::to_string(k) + ".JPG");
        if (!fs::copy_file(model, p, fs::copy_options::overwrite_existing, ec)) return {};
    }
    fs::remove(model, ec);
    return folder.string() + "/";
}

void BM_ScanPhotoFolder(benchmark::State& state) {
    const std::string folder = photoFolder();
    if (folder.empty()) {
        state.SkipWithError("cannot make the photo folder (needs ImageMagick and ExifTool)");
        return;
    }
    PhotoScanStats stats;
    for (auto _ : state) {
        DataTable table;
        const LoadResult result = LoadFotos(table, folder, SubFolders::Skip, &stats);
        if (!result.ok()) state.SkipWithError(result.message.c_str());
        benchmark::DoNotOptimize(table.rowCount());
    }
    state.counters["photos"] = static_cast<double>(stats.photos);
    state.counters["bytes_per_photo"] =
        stats.photos ? static_cast<double>(stats.bytesRead) / static_cast<double>(stats.photos) : 0.0;
}
BENCHMARK(BM_ScanPhotoFolder)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Empties the page cache: the whole system's when this process may (it
// runs as root), else the photographs' own pages. True for the first.
bool dropCaches(const std::string& folder) {
    ::sync();
    {
        std::ofstream drop("/proc/sys/vm/drop_caches");
        drop << "3" << std::flush;
        if (drop) return true;
    }
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
        const int fd = ::open(entry.path().c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
    return false;
}

void BM_ScanAgainstExiftool(benchmark::State& state) {
    const std::string folder = photoFolder();
    if (folder.empty()) {
        state.SkipWithError("cannot make the photo folder (needs ImageMagick and ExifTool)");
        return;
    }
    const std::vector<std::string> ours = {bench::cliPath(), "--csv", "/dev/null", folder};
    const std::vector<std::string> peer = {"exiftool", "-fast2", "-s3", "-DateTimeOriginal", folder};
    bench::Comparison warm, cold;
    bool systemWide = false;
    for (auto _ : state) {
        bench::runChild(ours, true);  // both programs and the folder into memory
        bench::runChild(peer, true);
        warm = bench::compareRuns(ours, peer, bench::comparisonRounds());
        cold = bench::compareRuns(ours, peer, bench::comparisonRounds(),
                                  [&] { systemWide = dropCaches(folder); });
    }
    if (!warm.ok || !cold.ok) {
        state.SkipWithError("geovanta-cli or exiftool did not run");
        return;
    }
    const std::pair<const char*, const bench::Comparison*> sides[] = {{"warm", &warm}, {"cold", &cold}};
    for (const auto& [name, c] : sides) {
        const std::string n = name;
        state.counters[n + "_x_faster"] = c->medianRatio();
        state.counters[n + "_x_min"] = c->lowest();
        state.counters[n + "_x_max"] = c->highest();
        state.counters[n + "_cli_s"] = c->medianOurs();
        state.counters[n + "_exiftool_s"] = c->medianPeer();
    }
    // 1: the whole page cache was dropped; 0: the photographs' pages only.
    state.counters["cold_by_drop_caches"] = systemWide ? 1 : 0;
}
BENCHMARK(BM_ScanAgainstExiftool)->Unit(benchmark::kMillisecond)->Iterations(1);

// The shortest start of `sample` (in steps of doubling size) that the reader
// reads as it reads the whole file: the image data after it costs only disk.
std::string startHoldingExif(const fs::path& sample) {
    std::ifstream in(sample, std::ios::binary);
    const std::string whole((std::istreambuf_iterator<char>(in)), {});
    const fs::path probe = fs::temp_directory_path() / "geovanta-bench-probe";
    TExif full, part;
    full.ReadExif(sample.string());
    for (std::size_t size = 4096;; size *= 2) {
        const std::string start = whole.substr(0, size);
        std::ofstream(probe, std::ios::binary) << start;
        try {
            part.ReadExif(probe.string());
        } catch (const ExifError&) {
            continue;
        }
        if (size >= whole.size() || (part.DateTimeOriginal == full.DateTimeOriginal &&
                                     part.SubSecTimeOriginalMs == full.SubSecTimeOriginalMs)) {
            fs::remove(probe);
            return start;
        }
    }
}

// A cached folder of kPhotos copies of the corpus sample's start; empty
// without the corpus.
std::string corpusFolder(const std::string& name, const std::string& sample, const std::string& extension) {
    const fs::path source = fs::path(GEOVANTA_SHARED_DIR) / "corpus" / "images" / sample;
    const fs::path folder = fs::temp_directory_path() / ("geovanta-bench-" + name);
    std::error_code ec;
    if (!fs::exists(source, ec)) return {};
    if (fs::exists(folder / ("IMG_" + std::to_string(kPhotos - 1) + extension), ec)) return folder.string() + "/";
    fs::create_directories(folder, ec);
    const std::string start = startHoldingExif(source);
    for (int k = 0; k < kPhotos; ++k)
        std::ofstream(folder / ("IMG_" + std::to_string(k) + extension), std::ios::binary) << start;
    return folder.string() + "/";
}

double scanSeconds(const std::string& folder, PhotoScanStats& stats) {
    const auto start = std::chrono::steady_clock::now();
    DataTable table;
    LoadFotos(table, folder, SubFolders::Skip, &stats);
    benchmark::DoNotOptimize(table.rowCount());
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The three folders one after the other in each iteration; the counters are
// microseconds per photograph and the HEIC and CR3 times over the JPEG time
// (target: at most 2).
void BM_ScanFormats(benchmark::State& state) {
    const std::string jpeg = photoFolder();
    const std::string heic = corpusFolder("heic", "mei__IMG_1034.heic", ".HEIC");
    const std::string cr3 = corpusFolder("cr3", "exiftool__CanonRaw.cr3", ".CR3");
    if (jpeg.empty() || heic.empty() || cr3.empty()) {
        state.SkipWithError("needs ImageMagick, ExifTool and the shared corpus");
        return;
    }
    double seconds[3] = {};
    PhotoScanStats stats[3];
    for (auto _ : state) {
        seconds[0] += scanSeconds(jpeg, stats[0]);
        seconds[1] += scanSeconds(heic, stats[1]);
        seconds[2] += scanSeconds(cr3, stats[2]);
    }
    const double runs = static_cast<double>(state.iterations()) * kPhotos;
    const char* names[3] = {"jpeg", "heic", "cr3"};
    for (int k = 0; k < 3; ++k) {
        state.counters[std::string(names[k]) + "_us"] = seconds[k] / runs * 1e6;
        state.counters[std::string(names[k]) + "_bytes"] = static_cast<double>(stats[k].bytesRead) / kPhotos;
    }
    state.counters["heic_vs_jpeg"] = seconds[1] / seconds[0];
    state.counters["cr3_vs_jpeg"] = seconds[2] / seconds[0];
}
BENCHMARK(BM_ScanFormats)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

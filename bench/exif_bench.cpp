// Scanning a folder of 10,000 JPEG photographs with EXIF data. The folder is
// made once from one ImageMagick image tagged by ExifTool and kept in the
// temporary folder for later runs. Compare by hand with
//   time exiftool -fast2 -s3 -DateTimeOriginal <folder>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "input/photoscanner.h"
#include "table/datatable.h"

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
        const LoadResult result = LoadFotos(table, folder, BindingParams{}, SubFolders::Skip, &stats);
        if (!result.ok()) state.SkipWithError(result.message.c_str());
        benchmark::DoNotOptimize(table.rowCount());
    }
    state.counters["photos"] = static_cast<double>(stats.photos);
    state.counters["bytes_per_photo"] =
        stats.photos ? static_cast<double>(stats.bytesRead) / static_cast<double>(stats.photos) : 0.0;
}
BENCHMARK(BM_ScanPhotoFolder)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

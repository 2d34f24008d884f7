// Writing GPS tags: one ExifTool run per photograph over a batch of 200 small
// JPEGs. Compare per_photo_ms with one `exiftool -geotag` run over the same
// photographs (see the README) to see what a child per photograph costs.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "runtime/processrunner.h"
#include "output/streamconsole.h"
#include "app/commands/tagcommands.h"
#include "table/datatable.h"

using namespace geovanta;
namespace fs = std::filesystem;

namespace {

constexpr int kPhotos = 200;

void BM_TagWriterBatch(benchmark::State& state) {
    const std::string exiftool = std::string(GEOVANTA_BIN_DIR) + "/exiftool";
    const fs::path dir = fs::temp_directory_path() / "geovanta-tagwriter-bench";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string base = (dir / "base.jpg").string();
    if (std::system(("convert -size 64x48 xc:gray '" + base + "'").c_str()) != 0 || !fs::exists(exiftool)) {
        state.SkipWithError("needs ImageMagick's convert and exiftool beside the programs");
        return;
    }
    DataTable table;
    for (int i = 0; i < kPhotos; ++i) {
        const std::string file = (dir / ("IMG_" + std::to_string(1000 + i) + ".JPG")).string();
        fs::copy_file(base, file);
        table.append();
        table.setText(table.recNo(), FieldId::Stat, "F");
        table.setText(table.recNo(), FieldId::FileName, file);
        table.setReal(table.recNo(), FieldId::Lat, 55.75 + i * 1e-4);
        table.setReal(table.recNo(), FieldId::Lon, 37.61 + i * 1e-4);
        table.setReal(table.recNo(), FieldId::Elev, 500 + i);
        table.post();
    }
    std::ostringstream progress;
    StreamConsole console(progress, "");
    ProcessRunner runner;
    TagWriter writerTool(runner, exiftool);
    TagCommands writer(table, console, writerTool);
    std::size_t failures = 0;
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        failures += writer.writeAll().failures.size();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    if (failures != 0) state.SkipWithError("some photographs were not written");
    state.counters["photos"] = kPhotos;
    state.counters["per_photo_ms"] = seconds * 1000 / (double(kPhotos) * double(state.iterations()));
    fs::remove_all(dir);
}
BENCHMARK(BM_TagWriterBatch)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

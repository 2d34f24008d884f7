// Place names for placed photographs: loading the data sets (time, and the
// memory they take and keep) and naming 100,000 positions. The positions are
// where photographs are taken: near towns all over the world, a few km out,
// and some at sea, so the borders' coast rule has its share.
#include <benchmark/benchmark.h>

#include <charconv>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "binding/placenaming.h"
#include "geo/placefinder.h"
#include "table/datatable.h"
#include "peakmemory.h"

using namespace geovanta;

namespace {

constexpr int kPhotos = 100000;

struct Position {
    double lat, lon;
};

// Random towns of the data set, each moved up to about 20 km.
std::vector<Position> photoPositions() {
    std::vector<Position> towns;
    std::ifstream in(std::string(GEOVANTA_PLACE_DIR) + "/towns.tsv");
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("T\t", 0) != 0) continue;
        const std::size_t a = line.find('\t', 2), b = line.find('\t', a + 1);
        Position p{};
        std::from_chars(line.data() + 2, line.data() + a, p.lat);
        std::from_chars(line.data() + a + 1, line.data() + b, p.lon);
        towns.push_back(p);
    }
    std::mt19937 rng(7);
    std::uniform_int_distribution<std::size_t> pick(0, towns.size() - 1);
    std::uniform_real_distribution<double> shift(-0.2, 0.2);
    std::vector<Position> out(kPhotos);
    for (Position& p : out) {
        p = towns[pick(rng)];
        p.lat = std::clamp(p.lat + shift(rng), -90.0, 90.0);
        p.lon = std::clamp(p.lon + shift(rng), -180.0, 180.0);
    }
    return out;
}

void BM_PlaceDataLoad(benchmark::State& state) {
    double peak = 0, kept = 0;
    for (auto _ : state) {
        const bench::PeakMemory memory;
        const double before = bench::statusMb("VmRSS:");
        std::string error;
        auto finder = PlaceFinder::load(GEOVANTA_PLACE_DIR, error);
        if (!finder) state.SkipWithError(error.c_str());
        state.PauseTiming();
        peak = std::max(peak, memory.mb());
        kept = std::max(kept, bench::statusMb("VmRSS:") - before);
        finder.reset();
        state.ResumeTiming();
    }
    state.counters["peak_MB"] = peak;
    state.counters["kept_MB"] = kept;
}
BENCHMARK(BM_PlaceDataLoad)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PlaceNames100k(benchmark::State& state) {
    static const std::vector<Position> positions = photoPositions();
    std::string error;
    static const auto finder = PlaceFinder::load(GEOVANTA_PLACE_DIR, error);
    if (!finder) {
        state.SkipWithError(error.c_str());
        return;
    }
    const auto language = static_cast<Language>(state.range(0));
    std::size_t withTown = 0, atSea = 0;
    for (auto _ : state) {
        withTown = atSea = 0;
        for (const Position& p : positions) {
            const std::optional<Place> place = finder->placeAt(p.lat, p.lon, language);
            atSea += !place;
            withTown += place && !place->city.empty();
            benchmark::DoNotOptimize(place);
        }
    }
    state.counters["with_town"] = static_cast<double>(withTown);
    state.counters["at_sea"] = static_cast<double>(atSea);
    state.counters["photos_per_s"] = benchmark::Counter(static_cast<double>(kPhotos), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_PlaceNames100k)->Arg(static_cast<int>(Language::English))->Arg(static_cast<int>(Language::Russian))
    ->Unit(benchmark::kMillisecond);

// The same through the table, as the pass names them: each photograph's
// names stored with it, the lookup's only where nobody else named it.
void BM_NamePlacesInTable100k(benchmark::State& state) {
    static const std::vector<Position> positions = photoPositions();
    std::string error;
    PlaceNaming naming;
    naming.finder = PlaceFinder::shared(GEOVANTA_PLACE_DIR, error);
    if (!naming.finder) {
        state.SkipWithError(error.c_str());
        return;
    }
    DataTable table;
    for (const Position& p : positions) {
        table.append();
        const std::size_t row = table.recNo();
        table.setText(row, FieldId::Stat, "F");
        table.setReal(row, FieldId::Lat, p.lat);
        table.setReal(row, FieldId::Lon, p.lon);
        table.post();
    }
    for (auto _ : state) {
        state.PauseTiming();
        for (std::size_t row = 0; row < table.rowCount(); ++row) table.setPlaceNames(row, {});
        state.ResumeTiming();
        namePlaces(table, naming);
    }
    state.counters["photos_per_s"] = benchmark::Counter(static_cast<double>(kPhotos), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_NamePlacesInTable100k)->Unit(benchmark::kMillisecond);

}  // namespace

// Record table and binding pass on generated data: a million track points
// with a hundred thousand photographs between them.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <random>
#include <vector>

#include "binding/calcpositions.h"
#include "table/datatable.h"
#include "table/datetime.h"

using namespace geovanta;

namespace {

constexpr int kPoints = 1000000;
constexpr int kPhotos = 100000;
constexpr double kStart = 40513.0;
constexpr double kStep = 1.0 / 86400;  // one point a second

double peakRssMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024.0;
}

// Rows appended through the cursor, as the readers do.
void fill(DataTable& t) {
    t.reserve(kPoints + kPhotos);
    char name[32];
    for (int i = 0; i < kPoints; ++i) {
        t.append();
        std::snprintf(name, sizeof name, "T01-%04d", (i + 1) % 65536);
        t.setText(t.recNo(), FieldId::Stat, "T");
        t.setText(t.recNo(), FieldId::Name, name);
        t.setDateTime(t.recNo(), FieldId::Time, kStart + i * kStep);
        t.setReal(t.recNo(), FieldId::Lat, 55.0 + i * 1e-6);
        t.setReal(t.recNo(), FieldId::Lon, 37.0 + i * 1e-6);
        t.setReal(t.recNo(), FieldId::Elev, 100 + i % 50);
        t.post();
    }
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> when(kStart, kStart + kPoints * kStep);
    for (int i = 0; i < kPhotos; ++i) {
        t.append();
        std::snprintf(name, sizeof name, "IMG_%05d", i);
        t.setText(t.recNo(), FieldId::Stat, "F");
        t.setText(t.recNo(), FieldId::Name, name);
        t.setText(t.recNo(), FieldId::FileName, std::string("/photos/") + name + ".JPG");
        t.setDateTime(t.recNo(), FieldId::Time, when(rng));
        t.post();
    }
}

void BM_AppendRows(benchmark::State& state) {
    for (auto _ : state) {
        DataTable t;
        fill(t);
        benchmark::DoNotOptimize(t.rowCount());
    }
    state.counters["rows"] = kPoints + kPhotos;
    state.counters["peak_MB"] = peakRssMb();
}
BENCHMARK(BM_AppendRows)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CalcPositions(benchmark::State& state) {
    DataTable t;
    fill(t);
    BindingParams p;
    for (auto _ : state) {
        p.photoOffset += 1.0 / 86400;  // a new offset each time, as after the offsets dialog
        CalcPositions(t, p);
    }
    state.counters["peak_MB"] = peakRssMb();
}
BENCHMARK(BM_CalcPositions)->Unit(benchmark::kMillisecond)->Iterations(5);

// Baseline: a plain stable sort of the same shifted times.
void BM_BaselineStableSortOfTimes(benchmark::State& state) {
    std::vector<int64_t> times;
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> when(kStart, kStart + kPoints * kStep);
    for (int i = 0; i < kPoints; ++i) times.push_back(daysToMs(kStart + i * kStep));
    for (int i = 0; i < kPhotos; ++i) times.push_back(daysToMs(when(rng)));
    for (auto _ : state) {
        std::vector<int64_t> copy = times;
        std::stable_sort(copy.begin(), copy.end());
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_BaselineStableSortOfTimes)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_WalkAllRows(benchmark::State& state) {
    DataTable t;
    fill(t);
    for (auto _ : state) {
        double sum = 0;
        for (t.first(); !t.eof(); t.next()) sum += t.field(FieldId::Lat).asFloat();
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_WalkAllRows)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

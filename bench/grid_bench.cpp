// The grid over a million-row table: the first screen after a load, and
// scrolling to the end and back. Drawn offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>
#include <memory>
#include <random>

#include "benchsupport.h"
#include "binding/calcpositions.h"
#include "table/datatable.h"
#include "ui/datagrid.h"
#include "ui/datatablemodel.h"

using namespace geovanta;

namespace {

constexpr int kPoints = 900000;
constexpr int kPhotos = 100000;
constexpr double kStart = 40513.0;
constexpr double kStep = 1.0 / 86400;

// A loaded and bound table, as after loading a track and a photo folder.
DataTable& loadedTable() {
    static DataTable* table = [] {
        auto* t = new DataTable;
        t->reserve(kPoints + kPhotos);
        t->suspendDisplay();
        for (int i = 0; i < kPoints; ++i) {
            bench::appendTrackPoint(*t, i, kStart + i * kStep, 55.0 + i * 1e-6, 37.0 + i * 1e-6, 100 + i % 50);
        }
        std::mt19937 rng(1);
        std::uniform_real_distribution<double> when(kStart, kStart + kPoints * kStep);
        for (int i = 0; i < kPhotos; ++i) bench::appendPhoto(*t, i, when(rng));
        CalcPositions(*t, BindingParams{});
        t->resumeDisplay();
        return t;
    }();
    return *table;
}

struct Grid {
    explicit Grid(DataTable& t) : model(t), view() {
        view.setModel(&model);
        view.fitColumns();
        view.resize(637, 460);
        view.show();
    }
    ~Grid() { view.setModel(nullptr); }
    void paint() { benchmark::DoNotOptimize(view.grab()); }
    DataTableModel model;
    DataGrid view;
};

// The end of a load: the suspended display resumes, the model resets and the
// view draws its first screen.
void BM_GridFirstScreenAfterLoad(benchmark::State& state) {
    bench::offscreenApp();
    DataTable& t = loadedTable();
    Grid grid(t);
    grid.paint();
    for (auto _ : state) {
        t.suspendDisplay();
        t.resumeDisplay();
        grid.paint();
    }
    state.counters["rows"] = static_cast<double>(t.rowCount());
}
BENCHMARK(BM_GridFirstScreenAfterLoad)->Unit(benchmark::kMillisecond)->Iterations(20);

// A fresh grid on the loaded table: model, view and the first paint.
void BM_GridCreateAndShow(benchmark::State& state) {
    bench::offscreenApp();
    DataTable& t = loadedTable();
    for (auto _ : state) {
        Grid grid(t);
        grid.paint();
    }
}
BENCHMARK(BM_GridCreateAndShow)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_GridScrollToEndAndBack(benchmark::State& state) {
    bench::offscreenApp();
    DataTable& t = loadedTable();
    Grid grid(t);
    grid.paint();
    for (auto _ : state) {
        grid.view.scrollToBottom();
        grid.paint();
        grid.view.scrollToTop();
        grid.paint();
    }
    benchmark::DoNotOptimize(grid.view.verticalScrollBar()->value());
}
BENCHMARK(BM_GridScrollToEndAndBack)->Unit(benchmark::kMillisecond)->Iterations(20);

// Paging down one screen at a time, as a held Page Down key does.
void BM_GridPageDown(benchmark::State& state) {
    bench::offscreenApp();
    DataTable& t = loadedTable();
    Grid grid(t);
    QScrollBar* bar = grid.view.verticalScrollBar();
    bar->setValue(bar->maximum() / 2);
    for (auto _ : state) {
        bar->setValue(bar->value() + bar->pageStep());
        grid.paint();
    }
}
BENCHMARK(BM_GridPageDown)->Unit(benchmark::kMicrosecond)->Iterations(200);

}  // namespace

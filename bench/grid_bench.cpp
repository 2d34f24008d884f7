// The grid over a million-row table: the first screen after a load, and
// scrolling to the end and back. Drawn offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

#include "ui/datagrid.h"
#include "ui/datatablemodel.h"
#include "binding/calcpositions.h"
#include "table/datatable.h"

using namespace geovanta;

namespace {

constexpr int kPoints = 900000;
constexpr int kPhotos = 100000;
constexpr double kStart = 40513.0;
constexpr double kStep = 1.0 / 86400;

QApplication& app() {
    static int argc = 1;
    static char name[] = "geovanta_bench";
    static char* argv[] = {name, nullptr};
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QApplication instance(argc, argv);
    return instance;
}

// A loaded and bound table, as after loading a track and a photo folder.
DataTable& loadedTable() {
    static DataTable* table = [] {
        auto* t = new DataTable;
        t->reserve(kPoints + kPhotos);
        t->suspendDisplay();
        char name[32];
        for (int i = 0; i < kPoints; ++i) {
            t->append();
            std::snprintf(name, sizeof name, "T01-%04d", (i + 1) % 65536);
            const std::size_t r = t->recNo();
            t->setText(r, FieldId::Stat, "T");
            t->setText(r, FieldId::Name, name);
            t->setDateTime(r, FieldId::Time, kStart + i * kStep);
            t->setReal(r, FieldId::Lat, 55.0 + i * 1e-6);
            t->setReal(r, FieldId::Lon, 37.0 + i * 1e-6);
            t->setReal(r, FieldId::Elev, 100 + i % 50);
            t->post();
        }
        std::mt19937 rng(1);
        std::uniform_real_distribution<double> when(kStart, kStart + kPoints * kStep);
        for (int i = 0; i < kPhotos; ++i) {
            t->append();
            std::snprintf(name, sizeof name, "IMG_%05d.JPG", i);
            const std::size_t r = t->recNo();
            t->setText(r, FieldId::Stat, "F");
            t->setText(r, FieldId::Name, name);
            t->setText(r, FieldId::FileName, std::string("/photos/") + name);
            t->setDateTime(r, FieldId::Time, when(rng));
            t->post();
        }
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
    app();
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
    app();
    DataTable& t = loadedTable();
    for (auto _ : state) {
        Grid grid(t);
        grid.paint();
    }
}
BENCHMARK(BM_GridCreateAndShow)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_GridScrollToEndAndBack(benchmark::State& state) {
    app();
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
    app();
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

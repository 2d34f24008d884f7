// The map panel over a million-point track: the first paint after a load
// (snapshot, level of detail and drawing together), then panning and zooming.
// Drawn offscreen, at the grid benchmark's window size, so the two compare.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <cmath>
#include <random>

#include "benchsupport.h"
#include "binding/calcpositions.h"
#include "map/mapdata.h"
#include "map/mapscene.h"
#include "table/datatable.h"
#include "ui/map/mapcanvas.h"
#include "ui/map/mapwidget.h"

using namespace geovanta;

namespace {

constexpr int kPoints = 1000000;
constexpr int kPhotos = 10000;
constexpr double kStart = 40513.0;
constexpr double kStep = 1.0 / 86400;

// Eleven days of one-second fixes from a car wandering around a region:
// heading drift, speed changes, stops, and a few metres of GPS noise.
DataTable& loadedTable() {
    static DataTable* table = [] {
        auto* t = new DataTable;
        t->reserve(kPoints + kPhotos);
        t->suspendDisplay();
        std::mt19937 rng(3);
        std::normal_distribution<double> turn(0, 0.03), noise(0, 3e-5);
        std::uniform_real_distribution<double> uniform(0, 1);
        double lat = 55.75, lon = 37.6, heading = 0, speed = 15;  // m/s
        for (int i = 0; i < kPoints; ++i) {
            heading += turn(rng);
            if (uniform(rng) < 0.001) speed = uniform(rng) < 0.2 ? 0 : 5 + 25 * uniform(rng);
            lat += speed * std::cos(heading) / 111320;
            lon += speed * std::sin(heading) / (111320 * std::cos(lat * M_PI / 180));
            // Keep to a region a few hundred kilometres across.
            if (std::abs(lat - 55.75) > 2 || std::abs(lon - 37.6) > 3.5) heading += M_PI;
            bench::appendTrackPoint(*t, i, kStart + i * kStep, lat + noise(rng), lon + noise(rng));
        }
        std::uniform_real_distribution<double> when(kStart, kStart + kPoints * kStep * 1.01);
        for (int i = 0; i < kPhotos; ++i) bench::appendPhoto(*t, i, when(rng));
        CalcPositions(*t, BindingParams{});
        t->resumeDisplay();
        return t;
    }();
    return *table;
}

// Points of the track lines one paint draws.
double drawnPoints(const MapCanvas& canvas) {
    std::size_t n = 0;
    for (const ScenePolyline& line : MapScene::build(canvas.data(), canvas.viewport(), std::nullopt).lines) {
        n += line.points.size();
    }
    return static_cast<double>(n);
}

struct Panel {
    Panel() {
        widget.resize(637, 460);
        widget.show();
    }
    void paint() { benchmark::DoNotOptimize(widget.canvas()->grab()); }
    MapWidget widget;
};

// The end of a load: the panel takes a new snapshot of the table (with its
// level-of-detail copy) and draws its first picture.
void BM_MapFirstPaintAfterLoad(benchmark::State& state) {
    bench::offscreenApp();
    const DataTable& t = loadedTable();
    Panel panel;
    for (auto _ : state) {
        panel.widget.rebuild(t);
        panel.paint();
    }
    state.counters["points"] = static_cast<double>(panel.widget.canvas()->data().tracks.at(0).points.size());
}
BENCHMARK(BM_MapFirstPaintAfterLoad)->Unit(benchmark::kMillisecond)->Iterations(10);

// The snapshot alone, to see where the first paint's time goes.
void BM_MapSnapshot(benchmark::State& state) {
    bench::offscreenApp();
    const DataTable& t = loadedTable();
    for (auto _ : state) benchmark::DoNotOptimize(MapData::fromTable(t));
}
BENCHMARK(BM_MapSnapshot)->Unit(benchmark::kMillisecond)->Iterations(60);

// Drawing the whole track fitted into the panel, nothing rebuilt.
void BM_MapRepaintFitted(benchmark::State& state) {
    bench::offscreenApp();
    Panel panel;
    panel.widget.rebuild(loadedTable());
    panel.paint();
    for (auto _ : state) panel.paint();
    state.counters["drawn"] = drawnPoints(*panel.widget.canvas());
}
BENCHMARK(BM_MapRepaintFitted)->Unit(benchmark::kMillisecond)->Iterations(50);

// One wheel notch in or out about the middle and a paint, as a held wheel does.
void BM_MapWheelZoom(benchmark::State& state) {
    bench::offscreenApp();
    Panel panel;
    panel.widget.rebuild(loadedTable());
    MapCanvas* canvas = panel.widget.canvas();
    const QPointF middle(canvas->width() / 2.0, canvas->height() / 2.0);
    int notch = 0;
    for (auto _ : state) {
        // Eight notches in (four zoom levels), eight back out.
        const int delta = (notch++ / 8) % 2 ? -120 : 120;
        QWheelEvent wheel(middle, canvas->mapToGlobal(middle), {}, QPoint(0, delta), Qt::NoButton, {},
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas, &wheel);
        panel.paint();
    }
}
BENCHMARK(BM_MapWheelZoom)->Unit(benchmark::kMillisecond)->Iterations(64);

// Dragging at street level, where every recorded point is drawn.
void BM_MapPanAtStreetLevel(benchmark::State& state) {
    bench::offscreenApp();
    Panel panel;
    panel.widget.rebuild(loadedTable());
    MapCanvas* canvas = panel.widget.canvas();
    const DataTable& t = loadedTable();
    panel.widget.setCurrentRow(t.rowCount() / 2);
    const QPointF middle(canvas->width() / 2.0, canvas->height() / 2.0);
    for (int i = 0; i < 2 * 12; ++i) {  // to zoom 18 or so
        QWheelEvent wheel(middle, canvas->mapToGlobal(middle), {}, QPoint(0, 120), Qt::NoButton, {},
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas, &wheel);
    }
    panel.widget.setCurrentRow(t.rowCount() / 2);
    int step = 0;
    for (auto _ : state) {
        const int dx = (step++ / 10) % 2 ? -20 : 20;
        QMouseEvent press(QEvent::MouseButtonPress, middle, canvas->mapToGlobal(middle), Qt::LeftButton,
                          Qt::LeftButton, {});
        QApplication::sendEvent(canvas, &press);
        const QPointF to = middle + QPointF(dx, 0);
        QMouseEvent move(QEvent::MouseMove, to, canvas->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(canvas, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, to, canvas->mapToGlobal(to), Qt::LeftButton, {}, {});
        QApplication::sendEvent(canvas, &release);
        panel.paint();
    }
    state.counters["zoom"] = canvas->viewport().zoom();
    state.counters["drawn"] = drawnPoints(*canvas);
}
BENCHMARK(BM_MapPanAtStreetLevel)->Unit(benchmark::kMillisecond)->Iterations(40);

}  // namespace

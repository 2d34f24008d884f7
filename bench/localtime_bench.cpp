// Photographs of a camera on local time on a drive from Moscow to Paris:
// what finding their zones costs on top of the binding pass, and the zone
// map itself.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "binding/calcpositions.h"
#include "binding/localtimeresolver.h"
#include "binding/tracktimeline.h"
#include "geo/zonedata.h"
#include "geo/zonelookup.h"
#include "geo/zonemap.h"
#include "geo/zonerules.h"
#include "table/datatable.h"
#include "table/datetime.h"

using namespace geovanta;

namespace {

constexpr int kPoints = 1000000;
constexpr int kPhotos = 10000;
constexpr double kStart = 45474.0;    // 1 July 2024
constexpr double kStep = 1.0 / 86400;  // a point a second: eleven and a half days
const std::string kZoneFile = GEOVANTA_SOURCE_DATA "/timezones/zones.bin";

const ZoneMap& zones() {
    static const ZoneMap map = ZoneMap::read(kZoneFile);
    return map;
}

// Moscow to Berlin to Paris in straight lines, through six zones.
void wayAt(double f, double& lat, double& lon) {
    if (f < 0.6) {
        const double g = f / 0.6;
        lat = 55.75 + g * (52.52 - 55.75);
        lon = 37.62 + g * (13.40 - 37.62);
    } else {
        const double g = (f - 0.6) / 0.4;
        lat = 52.52 + g * (48.86 - 52.52);
        lon = 13.40 + g * (2.35 - 13.40);
    }
}

// The track, and the photographs at random moments of it, each timed by the
// wall clock of the zone it was taken in.
DataTable& trip() {
    static std::unique_ptr<DataTable> table = [] {
        auto t = std::make_unique<DataTable>();
        t->reserve(kPoints + kPhotos);
        for (int i = 0; i < kPoints; ++i) {
            double lat, lon;
            wayAt(static_cast<double>(i) / kPoints, lat, lon);
            t->append();
            t->setText(t->recNo(), FieldId::Stat, "T");
            t->setDateTime(t->recNo(), FieldId::Time, kStart + i * kStep);
            t->setReal(t->recNo(), FieldId::Lat, lat);
            t->setReal(t->recNo(), FieldId::Lon, lon);
            t->post();
        }
        std::mt19937 rng(1);
        std::uniform_int_distribution<int> point(0, kPoints - 2);
        for (int i = 0; i < kPhotos; ++i) {
            const int p = point(rng);
            double lat, lon;
            wayAt(static_cast<double>(p) / kPoints, lat, lon);
            const int64_t utc = daysToMs(kStart + p * kStep) + 500;
            const auto rules = ZoneRules::load(std::string(zones().name(zones().indexAt(lat, lon))));
            t->append();
            t->setText(t->recNo(), FieldId::Stat, "F");
            t->setTimeMs(t->recNo(), FieldId::Time, utc + int64_t{rules->offsetAt(utc)} * 1000);
            t->post();
        }
        return t;
    }();
    return *table;
}

void BM_ZoneMapRead(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(ZoneMap::read(kZoneFile));
}
BENCHMARK(BM_ZoneMapRead)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ZoneAt(benchmark::State& state) {
    std::mt19937 rng(2);
    std::uniform_real_distribution<double> lat(-60, 70), lon(-180, 180);
    std::vector<std::pair<double, double>> places(4096);
    for (auto& p : places) p = {lat(rng), lon(rng)};
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& p = places[i++ & 4095];
        benchmark::DoNotOptimize(zones().indexAt(p.first, p.second));
    }
}
BENCHMARK(BM_ZoneAt);

// The pass alone, for scale.
void BM_LocalTimePass(benchmark::State& state) {
    DataTable& t = trip();
    for (auto _ : state) CalcPositions(t, BindingParams{});
}
BENCHMARK(BM_LocalTimePass)->Unit(benchmark::kMillisecond)->Iterations(5);

// What the pass adds for a camera on local time: the track apart from the
// table, its zones, and every photograph resolved.
void BM_LocalTimeOnTopOfPass(benchmark::State& state) {
    DataTable& t = trip();
    CalcPositions(t, BindingParams{});
    zones();
    std::size_t resolved = 0, candidates = 0;
    for (auto _ : state) {
        const TrackTimeline track = TrackTimeline::fromTable(t);
        const ZoneLookup lookup(&zones());
        const LocalTimeResolver local(track, lookup, 300);
        candidates = local.zones().size();
        resolved = 0;
        for (std::size_t row = 0; row < t.rowCount(); ++row)
            if (t.isPhoto(row))
                resolved += local.resolve(t.timeMs(row, FieldId::Time)).outcome == LocalTimeOutcome::Resolved;
    }
    state.counters["resolved"] = static_cast<double>(resolved);
    state.counters["zones"] = static_cast<double>(candidates);
}
BENCHMARK(BM_LocalTimeOnTopOfPass)->Unit(benchmark::kMillisecond)->Iterations(5);

// The whole pass with every camera on local time, as a person runs it: the
// difference from BM_LocalTimePass is what finding the zones costs.
void BM_LocalTimeWholePass(benchmark::State& state) {
    DataTable& t = trip();
    BindingParams p;
    p.allLocalTime = true;
    p.zones = ZoneData::shared(kZoneFile, GEOVANTA_SOURCE_DATA "/places");
    p.zones->map();  // read once, as the program keeps it from the first pass on
    for (auto _ : state) CalcPositions(t, p);
    std::size_t placed = 0;
    for (std::size_t row = 0; row < t.rowCount(); ++row) placed += t.isPhoto(row) && !t.isNull(row, FieldId::Lat);
    state.counters["placed"] = static_cast<double>(placed);
}
BENCHMARK(BM_LocalTimeWholePass)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

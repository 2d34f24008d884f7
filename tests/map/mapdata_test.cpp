// The table as the map sees it: lines per track, marks, unplaced photographs,
// and the level-of-detail copies of the lines.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

#include "map/mapdata.h"
#include "map/maprows.h"
#include "map/tracklod.h"
#include "table/datatable.h"

using namespace geovanta;

namespace {

double distance(WorldPoint a, WorldPoint b) { return std::hypot(a.x - b.x, a.y - b.y); }

// A GPS log of a walk: steady heading changes with a few metres of jitter.
std::vector<WorldPoint> walk(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> turn(0, 0.02), jitter(0, 3e-5);
    std::vector<WorldPoint> out;
    double lat = 55.75, lon = 37.6, heading = 0;
    for (std::size_t i = 0; i < n; ++i) {
        heading += turn(rng);
        lat += 1e-5 * std::cos(heading);
        lon += 1.8e-5 * std::sin(heading);
        out.push_back(mercator::project({lat + jitter(rng), lon + jitter(rng)}));
    }
    return out;
}

// Levels compared with the ones a fresh start makes of the same points.
void expectLevelsAsFresh(const TrackLod& lod, const std::vector<WorldPoint>& points, const std::string& context) {
    const TrackLod fresh;
    for (int zoom : {3, 12, 16, 19, TrackLod::kLevels}) {
        const TrackLod::Level& a = lod.level(points, zoom);
        const TrackLod::Level& b = fresh.level(points, zoom);
        ASSERT_EQ(a.all, b.all) << context << " zoom " << zoom;
        ASSERT_EQ(a.kept, b.kept) << context << " zoom " << zoom;
        ASSERT_EQ(a.blocks.size(), b.blocks.size()) << context << " zoom " << zoom;
        for (std::size_t k = 0; k < a.blocks.size(); ++k) {
            ASSERT_TRUE(a.blocks[k].left == b.blocks[k].left && a.blocks[k].right == b.blocks[k].right &&
                        a.blocks[k].top == b.blocks[k].top && a.blocks[k].bottom == b.blocks[k].bottom)
                << context << " zoom " << zoom << " block " << k;
        }
    }
}

// A snapshot projects a run of points by a series, a single row in full:
// the two agree to 1e-12.
void expectNear(WorldPoint a, WorldPoint b, const std::string& context) {
    ASSERT_NEAR(a.x, b.x, 1e-12) << context;
    ASSERT_NEAR(a.y, b.y, 1e-12) << context;
}

void expectSameMarks(const std::vector<MapMark>& a, const std::vector<MapMark>& b, const std::string& context) {
    ASSERT_EQ(a.size(), b.size()) << context;
    for (std::size_t i = 0; i < a.size(); ++i) {
        ASSERT_EQ(a[i].row, b[i].row) << context;
        ASSERT_EQ(a[i].name, b[i].name) << context;
        expectNear(a[i].at, b[i].at, context);
    }
}

void expectSameMap(const MapData& live, const MapData& fresh, const std::string& context) {
    ASSERT_EQ(live.tracks.size(), fresh.tracks.size()) << context;
    for (std::size_t t = 0; t < live.tracks.size(); ++t) {
        const MapTrack& a = live.tracks[t];
        ASSERT_EQ(a.name, fresh.tracks[t].name) << context;
        ASSERT_EQ(a.rows, fresh.tracks[t].rows) << context;
        for (std::size_t i = 0; i < a.points.size(); ++i) expectNear(a.points[i], fresh.tracks[t].points[i], context);
        expectLevelsAsFresh(a.lod, a.points, context + ", track " + a.name);
    }
    expectSameMarks(live.waypoints, fresh.waypoints, context + ", waypoints");
    expectSameMarks(live.photos, fresh.photos, context + ", photos");
    expectSameMarks(live.unplaced, fresh.unplaced, context + ", unplaced");
    ASSERT_EQ(live.bounds.valid, fresh.bounds.valid) << context;
    expectNear({live.bounds.rect.left, live.bounds.rect.top}, {fresh.bounds.rect.left, fresh.bounds.rect.top}, context);
    expectNear({live.bounds.rect.right, live.bounds.rect.bottom}, {fresh.bounds.rect.right, fresh.bounds.rect.bottom},
               context);
}

// Hands the table's row by row news to a snapshot, as the map panel does.
class FollowingMap : public DataTableListener {
public:
    explicit FollowingMap(DataTable& table) : table_(table), data(MapData::fromTable(table)) { table.setListener(this); }
    ~FollowingMap() override { table_.setListener(nullptr); }
    void beginInsertRow(std::size_t row) override { row_ = row; }
    void endInsertRow() override { data.insertRow(row_, MapRow::of(table_, row_)); }
    void beginRemoveRow(std::size_t row) override { row_ = row; }
    void endRemoveRow() override { data.removeRow(row_); }
    void rowChanged(std::size_t row) override { data.updateRow(row, MapRow::of(table_, row)); }
    void tableReset() override { data = MapData::fromTable(table_); }

private:
    DataTable& table_;
    std::size_t row_ = 0;

public:
    MapData data;
};

void setPosition(DataTable& t, std::size_t row, double lat, double lon) {
    t.setReal(row, FieldId::Lat, lat);
    t.setReal(row, FieldId::Lon, lon);
}

void insertRow(DataTable& t, std::size_t before, const char* stat, const char* name, double lat, double lon) {
    t.moveTo(before);
    t.insert();
    t.setText(t.recNo(), FieldId::Stat, stat);
    t.setText(t.recNo(), FieldId::Name, name);
    if (lat != 0) setPosition(t, t.recNo(), lat, lon);
    t.post();
}

void deleteRow(DataTable& t, std::size_t row) {
    t.moveTo(row);
    t.deleteRow();
}

}  // namespace

TEST(MapData, FollowsSingleRowChangesAsARebuildWould) {
    // Two walks recorded at once, interleaved in time, with waypoints and photographs among them.
    DataTable t;
    const std::vector<WorldPoint> walkA = walk(1500, 1), walkB = walk(700, 2);
    for (std::size_t i = 0; i < walkA.size(); ++i) {
        const LatLon a = mercator::unproject(walkA[i]);
        test::addMapRow(t, "T", ("T01-" + std::to_string(i)).c_str(), a.lat, a.lon);
        if (i < walkB.size() && i % 2 == 0) {
            const LatLon b = mercator::unproject(walkB[i]);
            test::addMapRow(t, "T", ("T02-" + std::to_string(i)).c_str(), b.lat + 0.01, b.lon);
        }
        if (i % 100 == 50) test::addMapRow(t, "F", ("IMG_" + std::to_string(i) + ".JPG").c_str(), a.lat, a.lon);
        if (i % 300 == 0) test::addMapRow(t, "P", ("WP" + std::to_string(i)).c_str(), a.lat + 0.001, a.lon);
        if (i % 400 == 10) test::addMapRow(t, "F", ("LOST_" + std::to_string(i) + ".JPG").c_str(), 0, 0);
    }
    FollowingMap map(t);
    for (const MapTrack& track : map.data.tracks) expectLevelsAsFresh(track.lod, track.points, "levels made by a paint");

    auto firstRowOf = [&](std::size_t track) { return map.data.tracks.at(track).rows.front(); };
    auto middleRowOf = [&](std::size_t track) {
        const std::vector<std::size_t>& r = map.data.tracks.at(track).rows;
        return r[r.size() / 2];
    };
    auto rowOfName = [&](const char* name) {
        for (std::size_t r = 0; r < t.rowCount(); ++r) {
            if (t.text(r, FieldId::Name) == name) return r;
        }
        return t.rowCount();
    };
    const struct {
        const char* change;
        std::function<void()> apply;
    } steps[] = {
        {"a track point moves a little", [&] { t.setReal(middleRowOf(0), FieldId::Lat, 55.7505); }},
        {"a track point moves far off the bounds", [&] { setPosition(t, middleRowOf(1), 60.0, 30.0); }},
        {"it comes back, the bounds shrink", [&] { setPosition(t, rowOfName("T02-350"), 55.76, 37.61); }},
        {"a track point loses its position", [&] { t.setNull(middleRowOf(0), FieldId::Lat); }},
        {"a point renamed into the other track", [&] { t.setText(rowOfName("T01-900"), FieldId::Name, "T02-x"); }},
        {"a point renamed into a new track", [&] { t.setText(rowOfName("T01-901"), FieldId::Name, "T03-1"); }},
        {"the first point of a track renamed away", [&] { t.setText(firstRowOf(0), FieldId::Name, "T02-y"); }},
        {"a placed photograph moves", [&] { setPosition(t, rowOfName("IMG_450.JPG"), 55.76, 37.62); }},
        {"a photograph loses its position", [&] { t.setReal(rowOfName("IMG_550.JPG"), FieldId::Lat, 0); }},
        {"an unplaced photograph is placed", [&] { setPosition(t, rowOfName("LOST_410.JPG"), 55.755, 37.605); }},
        {"a waypoint renamed", [&] { t.setText(rowOfName("WP300"), FieldId::Name, "Кремль"); }},
        {"a waypoint becomes a photograph", [&] { t.setText(rowOfName("WP600"), FieldId::Stat, "F"); }},
        {"an empty row inserted inside both tracks", [&] { insertRow(t, middleRowOf(0), "", "", 0, 0); }},
        {"a track point inserted", [&] { insertRow(t, middleRowOf(1), "T", "T01-new", 55.751, 37.601); }},
        {"a photograph inserted at the top", [&] { insertRow(t, 0, "F", "NEW.JPG", 55.752, 37.602); }},
        {"a track point deleted", [&] { deleteRow(t, middleRowOf(0)); }},
        {"the first row deleted", [&] { deleteRow(t, 0); }},
        {"the last row deleted", [&] { deleteRow(t, t.rowCount() - 1); }},
        {"an unplaced photograph deleted", [&] { deleteRow(t, rowOfName("LOST_810.JPG")); }},
        {"the lone point of a track deleted", [&] { deleteRow(t, rowOfName("T03-1")); }},
    };
    for (const auto& step : steps) {
        step.apply();
        expectSameMap(map.data, MapData::fromTable(t), step.change);
        if (HasFatalFailure()) return;
    }
}

TEST(MapData, TracksFollowTheNamesAndTableOrder) {
    DataTable t;
    // Two tracks recorded at the same time interleave in shifted-time order.
    test::addMapRow(t, "T", "T01-0001", 55.0, 37.0);
    test::addMapRow(t, "T", "T02-0001", 56.0, 38.0);
    test::addMapRow(t, "P", "Кремль", 55.75, 37.62);
    test::addMapRow(t, "T", "T01-0002", 55.1, 37.1);
    test::addMapRow(t, "T", "T01-0003", 0, 0);  // no position: left out, the line goes on
    test::addMapRow(t, "F", "IMG_1.JPG", 55.05, 37.05);
    test::addMapRow(t, "F", "IMG_2.JPG", 0, 0);
    test::addMapRow(t, "T", "T02-0002", 56.1, 38.1);
    test::addMapRow(t, "", "", 0, 0);  // a row added in the grid
    test::addMapRow(t, "T", "T01-0004", 55.2, 37.2);
    test::addMapRow(t, "F", "IMG_3.JPG", 0, 0);

    const MapData d = MapData::fromTable(t);
    ASSERT_EQ(d.tracks.size(), 2u);
    EXPECT_EQ(d.tracks[0].name, "T01");
    EXPECT_EQ(d.tracks[0].rows, (std::vector<std::size_t>{0, 3, 9}));
    EXPECT_EQ(d.tracks[1].name, "T02");
    EXPECT_EQ(d.tracks[1].rows, (std::vector<std::size_t>{1, 7}));
    EXPECT_NEAR(mercator::unproject(d.tracks[0].points[1]).lat, 55.1, 1e-9);
    ASSERT_EQ(d.waypoints.size(), 1u);
    EXPECT_EQ(d.waypoints[0].name, "Кремль");
    ASSERT_EQ(d.photos.size(), 1u);
    EXPECT_EQ(d.photos[0].row, 5u);
    ASSERT_EQ(d.unplaced.size(), 2u);
    EXPECT_EQ(d.unplaced[1].name, "IMG_3.JPG");

    ASSERT_TRUE(d.bounds.valid);
    EXPECT_DOUBLE_EQ(d.bounds.rect.left, mercator::project({0, 37.0}).x);
    EXPECT_DOUBLE_EQ(d.bounds.rect.top, mercator::project({56.1, 0}).y);

    EXPECT_DOUBLE_EQ(d.positionOf(7)->x, d.tracks[1].points[1].x);
    EXPECT_DOUBLE_EQ(d.positionOf(2)->y, d.waypoints[0].at.y);
    EXPECT_DOUBLE_EQ(d.positionOf(5)->x, d.photos[0].at.x);
    EXPECT_FALSE(d.positionOf(4));
    EXPECT_FALSE(d.positionOf(6));
    EXPECT_FALSE(d.positionOf(99));
    EXPECT_EQ(d.unplacedIndexOf(10), 1u);
    EXPECT_FALSE(d.unplacedIndexOf(5));
}

TEST(MapData, PositionsOffTheGlobeAreNoPositions) {
    DataTable t;
    test::addMapRow(t, "P", "north", 95, 10);
    test::addMapRow(t, "P", "east", 10, 190);
    test::addMapRow(t, "F", "nan.jpg", NAN, 10);
    test::addMapRow(t, "P", "pole", 90, 180);
    const MapData d = MapData::fromTable(t);
    ASSERT_EQ(d.waypoints.size(), 1u);
    EXPECT_EQ(d.waypoints[0].name, "pole");
    EXPECT_EQ(d.unplaced.size(), 1u);
    EXPECT_TRUE(MapData::fromTable(DataTable()).tracks.empty());
    EXPECT_FALSE(MapData::fromTable(DataTable()).bounds.valid);
}

TEST(TrackLod, EachLevelStaysWithinHalfAPixelAndThinsToAFewPointsPerPixel) {
    const std::vector<WorldPoint> points = walk(200000, 7);
    const TrackLod lod;
    for (int zoom = 0; zoom <= TrackLod::kLevels; ++zoom) {
        const TrackLod::Level& level = lod.level(points, zoom);
        const std::size_t n = level.size(points);
        const double pixel = 1 / mercator::scale(zoom);
        ASSERT_EQ(level.index(0), 0u) << zoom;
        ASSERT_EQ(level.index(n - 1), points.size() - 1) << zoom;
        ASSERT_EQ(level.blocks.size(), (n + TrackLod::kBlock - 1) / TrackLod::kBlock);
        for (std::size_t k = 1; k < n; ++k) {
            const WorldPoint a = points[level.index(k - 1)], b = points[level.index(k)];
            ASSERT_LT(level.index(k - 1), level.index(k));
            // Kept points are half a pixel apart (the last one excepted) ...
            if (!level.all && k + 1 < n) {
                ASSERT_GE(distance(a, b), TrackLod::kTolerancePx * pixel * 0.999) << zoom;
            }
            // ... and every segment lies in the box of its block.
            const WorldRect& box = level.blocks[(k - 1) / TrackLod::kBlock];
            ASSERT_TRUE(box.contains(a) && box.contains(b)) << zoom << " " << k;
        }
        // Every recorded point lies within half a pixel of the last kept one before it.
        std::size_t k = 0;
        for (uint32_t i = 0; i < points.size(); ++i) {
            while (k + 1 < n && level.index(k + 1) <= i) ++k;
            ASSERT_LT(distance(points[i], points[level.index(k)]), TrackLod::kTolerancePx * pixel) << zoom << " " << i;
        }
    }
    // At zoom 10 a pixel is 86 m, a step of the walk about one.
    EXPECT_LT(lod.level(points, 10).size(points), points.size() / 20);
    EXPECT_TRUE(lod.level(points, TrackLod::kLevels + 0.5).all);
    // Asked again, a level is the one already made.
    EXPECT_EQ(&lod.level(points, 9.5), &lod.level(points, 10));
}

TEST(TrackLod, MendedLevelsAreTheLevelsAFreshStartMakes) {
    // Points moved, inserted and removed anywhere, the ends included, one
    // after another, each mending the levels the one before left.
    std::vector<WorldPoint> points = walk(3000, 11);
    TrackLod lod;
    expectLevelsAsFresh(lod, points, "made");
    std::mt19937 rng(5);
    std::normal_distribution<double> nudge(0, 3e-9);
    for (int step = 0; step < 200 && !HasFatalFailure(); ++step) {
        const std::size_t n = points.size();
        const std::size_t last = step % 3 == 1 ? n : n - 1;  // a point may be added after the end
        std::size_t i = std::uniform_int_distribution<std::size_t>(0, last)(rng);
        if (step % 20 == 0) i = step % 40 == 0 ? 0 : last;
        const WorldPoint near{points[i % n].x + nudge(rng), points[i % n].y + nudge(rng)};
        switch (step % 3) {
            case 0:
                points[i] = near;
                lod.replace(points, i, 1, 1);
                break;
            case 1:
                points.insert(points.begin() + static_cast<std::ptrdiff_t>(i), near);
                lod.replace(points, i, 0, 1);
                break;
            default:
                points.erase(points.begin() + static_cast<std::ptrdiff_t>(i));
                lod.replace(points, i, 1, 0);
        }
        expectLevelsAsFresh(lod, points, "step " + std::to_string(step));
    }
    // A copy made before a change keeps the line it was made with.
    const std::vector<WorldPoint> before = points;
    const TrackLod copy = lod;
    points.erase(points.begin(), points.begin() + 1000);
    lod.replace(points, 0, 1000, 0);
    expectLevelsAsFresh(lod, points, "after the copy");
    expectLevelsAsFresh(copy, before, "the copy");
}

TEST(TrackLod, LevelChoiceAndDegenerateLines) {
    EXPECT_EQ(TrackLod::levelFor(9.2), 10);  // never coarser than the zoom
    EXPECT_EQ(TrackLod::levelFor(10), 10);
    EXPECT_EQ(TrackLod::levelFor(-3), 0);
    EXPECT_EQ(TrackLod::levelFor(NAN), 0);

    // Standing still for a long time collapses to the two ends.
    const std::vector<WorldPoint> still(10000, mercator::project({55, 37}));
    EXPECT_EQ(TrackLod().level(still, 20).size(still), 2u);
    const std::vector<WorldPoint> none, one{{0.5, 0.5}};
    EXPECT_EQ(TrackLod().level(none, 5).size(none), 0u);
    EXPECT_TRUE(TrackLod().level(one, 5).all);  // nothing to thin: draw the point itself
    EXPECT_EQ(TrackLod().level(one, 5).blocks.size(), 1u);
}

// The table as the map sees it: lines per track, marks, unplaced photographs,
// and the level-of-detail copies of the lines.
#include <gtest/gtest.h>

#include <cmath>
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

}  // namespace

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

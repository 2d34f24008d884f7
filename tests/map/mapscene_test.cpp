// What a paint draws and what a click hits, without a screen.
#include <gtest/gtest.h>

#include <cmath>

#include "map/hittest.h"
#include "map/mapscene.h"
#include "map/tilegrid.h"
#include "map/tilesource.h"

using namespace geovanta;

namespace {

MapMark mark(double x, double y, std::size_t row, const char* name = "") { return {{x, y}, row, name}; }

MapTrack track(std::vector<WorldPoint> points, std::size_t firstRow) {
    MapTrack t;
    t.points = std::move(points);
    for (std::size_t i = 0; i < t.points.size(); ++i) t.rows.push_back(firstRow + i);
    return t;
}

// A 400 x 300 view at zoom 10 whose top-left corner is world (0.5, 0.5).
Viewport view() {
    Viewport v;
    v.setSize(400, 300);
    v.setZoom(10);
    const double s = v.scale();
    v.setCenter({0.5 + 200 / s, 0.5 + 150 / s});
    return v;
}

WorldPoint at(const Viewport& v, double x, double y) { return v.toWorld({x, y}); }

}  // namespace

TEST(ClipSegment, CutsToTheRectangle) {
    ScreenPoint a{-50, 50}, b{150, 50};
    ASSERT_TRUE(clipSegment(a, b, 0, 0, 100, 100));
    EXPECT_DOUBLE_EQ(a.x, 0);
    EXPECT_DOUBLE_EQ(b.x, 100);
    a = {-1e12, -1e12}, b = {1e12, 1e12};  // far beyond what a painter takes
    ASSERT_TRUE(clipSegment(a, b, 0, 0, 100, 100));
    EXPECT_NEAR(a.x, 0, 1e-3);
    EXPECT_NEAR(b.y, 100, 1e-3);
    a = {-10, 50}, b = {50, 120};  // passes the corner outside
    ScreenPoint c{-10, 200}, d{-5, 300};
    EXPECT_FALSE(clipSegment(c, d, 0, 0, 100, 100));
    EXPECT_TRUE(clipSegment(a, b, 0, 0, 100, 100));
    a = {120, 50}, b = {50, 150};
    EXPECT_FALSE(clipSegment(a, b, 0, 0, 100, 10));
}

TEST(MapScene, LinesArePiecesInsideThePanel) {
    const Viewport v = view();
    MapData d;
    // In, far out to the right, back in, out below, and a leg wholly outside.
    d.tracks.push_back(track({at(v, 10, 10), at(v, 100, 100), at(v, 5e6, 100), at(v, 200, 150), at(v, 200, 900),
                              at(v, 300, 900)},
                             0));
    const MapScene s = MapScene::build(d, v, std::nullopt);
    ASSERT_EQ(s.lines.size(), 2u);
    EXPECT_EQ(s.lines[0].points.size(), 3u);  // 10,10 - 100,100 - the right edge
    EXPECT_EQ(s.lines[1].points.size(), 3u);  // the right edge - 200,150 - the bottom edge
    for (const ScenePolyline& line : s.lines) {
        for (const ScreenPoint& p : line.points) {
            EXPECT_GE(p.x, -MapScene::kMargin - 1e-6);
            EXPECT_LE(p.x, 400 + MapScene::kMargin + 1e-6);
            EXPECT_LE(p.y, 300 + MapScene::kMargin + 1e-6);
        }
    }
    EXPECT_NEAR(s.lines[0].points.back().x, 400 + MapScene::kMargin, 1e-6);
    EXPECT_NEAR(s.lines[1].points.back().y, 300 + MapScene::kMargin, 1e-6);
    // A one-point track inside the panel still shows.
    d.tracks.push_back(track({at(v, 50, 50)}, 10));
    EXPECT_EQ(MapScene::build(d, v, std::nullopt).lines.size(), 3u);
}

TEST(MapScene, ALongLineStaysOnePieceAcrossItsBlocks) {
    const Viewport v = view();
    MapData d;
    // 3,000 points a pixel apart, from far left to far right through the
    // panel, then back through it lower down: two pieces, each unbroken.
    std::vector<WorldPoint> points;
    for (int x = -1300; x < 1700; ++x) points.push_back(at(v, x, 100));
    for (int x = 1700; x > -1300; --x) points.push_back(at(v, x, 200));
    d.tracks.push_back(track(points, 0));
    const MapScene s = MapScene::build(d, v, std::nullopt);
    ASSERT_EQ(s.lines.size(), 2u);
    for (const ScenePolyline& line : s.lines) {
        EXPECT_NEAR(line.points.size(), 400 + 2 * MapScene::kMargin + 1, 2);
        for (std::size_t i = 1; i < line.points.size(); ++i) {
            ASSERT_LE(std::abs(line.points[i].x - line.points[i - 1].x), 1 + 1e-6);
        }
    }
    EXPECT_NEAR(s.lines[0].points.front().x, -MapScene::kMargin, 1e-6);
    EXPECT_NEAR(s.lines[1].points.back().x, -MapScene::kMargin, 1e-6);
}

TEST(MapScene, MarksAreThinnedToWhatThePanelCanShow) {
    const Viewport v = view();
    MapData d;
    // 10,000 photographs within one 30 x 30 pixel square, and one outside.
    for (int i = 0; i < 10000; ++i) d.photos.push_back(mark(at(v, 100 + (i % 100) * 0.3, 100 + (i / 100) * 0.3).x,
                                                            at(v, 0, 100 + (i / 100) * 0.3).y, i));
    d.photos.push_back(mark(at(v, -5, 10).x, at(v, -5, 10).y, 20000));
    const MapScene s = MapScene::build(d, v, std::nullopt);
    EXPECT_LE(s.photos.size(), 7u * 7u);
    EXPECT_GE(s.photos.size(), 6u * 6u);
    EXPECT_EQ(s.photos.front().index, 0u);  // the first of a cell is the one drawn
    for (const SceneMark& m : s.photos) EXPECT_NE(m.index, 10000u);

    // Waypoint names get room of their own.
    d.waypoints = {mark(at(v, 10, 20).x, at(v, 10, 20).y, 1, "a"), mark(at(v, 40, 22).x, at(v, 40, 22).y, 2, "b"),
                   mark(at(v, 10, 200).x, at(v, 10, 200).y, 3, "c")};
    const MapScene w = MapScene::build(d, v, std::nullopt);
    ASSERT_EQ(w.waypoints.size(), 3u);
    EXPECT_TRUE(w.waypoints[0].labelled);
    EXPECT_FALSE(w.waypoints[1].labelled);
    EXPECT_TRUE(w.waypoints[2].labelled);
}

TEST(MapScene, CurrentRowAndClicks) {
    const Viewport v = view();
    MapData d;
    d.tracks.push_back(track({at(v, 10, 10), at(v, 50, 10), at(v, 90, 10)}, 0));
    d.waypoints = {mark(at(v, 50, 14).x, at(v, 50, 14).y, 3, "wpt")};
    d.photos = {mark(at(v, 56, 10).x, at(v, 56, 10).y, 4), mark(at(v, 300, 200).x, at(v, 300, 200).y, 5)};

    const MapScene s = MapScene::build(d, v, 5);
    ASSERT_TRUE(s.current);
    EXPECT_NEAR(s.current->x, 300, 1e-6);
    EXPECT_FALSE(MapScene::build(d, v, 77).current);

    auto hit = [&](double x, double y) { return hitTest(d, v, {x, y}, 6); };
    // A photograph wins over a nearer waypoint and track point, a waypoint over the line.
    EXPECT_EQ(hit(51, 11)->row, 4u);
    EXPECT_EQ(hit(51, 11)->kind, MapHit::Kind::Photo);
    EXPECT_EQ(hit(45, 14)->row, 3u);
    EXPECT_EQ(hit(88, 12)->row, 2u);
    EXPECT_EQ(hit(88, 12)->kind, MapHit::Kind::TrackPoint);
    EXPECT_EQ(hit(302, 203)->row, 5u);
    EXPECT_FALSE(hit(300, 207));  // just out of reach
    EXPECT_FALSE(hit(200, 100));
    EXPECT_FALSE(hitTest(MapData{}, v, {10, 10}, 6));
}

TEST(Tiles, CoverageOfAView) {
    Viewport v;
    v.setSize(600, 400);
    v.setZoom(10.3);
    v.setCenter(mercator::project({55.7539, 37.6208}));
    TileCoverage c = TileCoverage::forView(v, 19);
    EXPECT_EQ(c.zoom, 10);
    const double size = 256 * std::exp2(0.3);
    ASSERT_FALSE(c.tiles.empty());
    EXPECT_LE(c.tiles.size(), static_cast<std::size_t>((600 / size + 2) * (400 / size + 2)));
    // Every pixel of the panel lies in one of the tiles.
    for (int y = 0; y < 400; y += 20) {
        for (int x = 0; x < 600; x += 20) {
            int covering = 0;
            for (const TilePlacement& t : c.tiles) {
                covering += x >= t.left && x < t.left + t.size && y >= t.top && y < t.top + t.size;
                ASSERT_NEAR(t.size, size, 1e-6);
            }
            ASSERT_EQ(covering, 1) << x << "," << y;
        }
    }
    // The tile under the centre comes first: 10/619/320 holds central Moscow.
    EXPECT_EQ(c.tiles.front().key, (TileKey{10, 619, 320}));

    // Deeper than the server draws: its deepest tiles, enlarged.
    v.setZoom(21);
    c = TileCoverage::forView(v, 19);
    EXPECT_EQ(c.zoom, 19);
    EXPECT_NEAR(c.tiles.front().size, 1024, 1e-6);
    // Zoomed out past the world's edge: only tiles that exist.
    v.setZoom(0.4);
    c = TileCoverage::forView(v, 19);
    ASSERT_EQ(c.tiles.size(), 1u);
    EXPECT_EQ(c.tiles[0].key, (TileKey{0, 0, 0}));
}

TEST(Tiles, SourceFromTheSetting) {
    const TileSource osm = TileSource::fromSetting(std::nullopt);
    EXPECT_TRUE(osm.enabled());
    EXPECT_EQ(osm.url({3, 4, 5}), "https://tile.openstreetmap.org/3/4/5.png");
    EXPECT_FALSE(TileSource::fromSetting(std::string()).enabled());
    const TileSource local("HTTP://127.0.0.1:8080/t/{z}-{x}-{y}/{z}.jpg?k=1");
    EXPECT_TRUE(local.enabled());
    EXPECT_EQ(local.url({12, 2475, 1282}), "HTTP://127.0.0.1:8080/t/12-2475-1282/12.jpg?k=1");
    // Local files, other schemes and templates that cannot name a tile stay off.
    EXPECT_FALSE(TileSource("file:///home/user/tiles/{z}/{x}/{y}.png").enabled());
    EXPECT_FALSE(TileSource("qrc:/{z}/{x}/{y}.png").enabled());
    EXPECT_FALSE(TileSource("https://tile.example.org/{z}/{x}.png").enabled());
    EXPECT_FALSE(TileSource("tile.openstreetmap.org/{z}/{x}/{y}.png").enabled());
}

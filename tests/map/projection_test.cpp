// Web Mercator and the view over it: known values, round trips, and the
// promises the map's mouse handling rests on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "map/graticule.h"
#include "map/mercator.h"
#include "map/scalebar.h"
#include "map/viewport.h"
#include "support/language.h"

using namespace geovanta;

TEST(Mercator, KnownPlaces) {
    const WorldPoint origin = mercator::project({0, 0});
    EXPECT_DOUBLE_EQ(origin.x, 0.5);
    EXPECT_NEAR(origin.y, 0.5, 1e-15);
    EXPECT_NEAR(mercator::project({mercator::kMaxLatitude, -180}).y, 0, 1e-12);
    EXPECT_NEAR(mercator::project({-mercator::kMaxLatitude, 180}).y, 1, 1e-12);
    // The poles are drawn on the square's edges rather than at infinity.
    EXPECT_NEAR(mercator::project({90, 0}).y, 0, 1e-12);
    EXPECT_NEAR(mercator::project({-90, 0}).y, 1, 1e-12);
    // Moscow's Red Square lies in tile 10/619/320 of every tile server.
    const WorldPoint moscow = mercator::project({55.7539, 37.6208});
    EXPECT_EQ(static_cast<int>(moscow.x * 1024), 619);
    EXPECT_EQ(static_cast<int>(moscow.y * 1024), 320);
    // The well-known 156543.03 metres per pixel at zoom 0 on the equator,
    // and half of it at 60 degrees.
    EXPECT_NEAR(mercator::metresPerUnit(0.5) / mercator::scale(0), 156543.03, 0.01);
    EXPECT_NEAR(mercator::metresPerUnit(mercator::project({60, 0}).y), mercator::kEarthCircumference / 2, 1e-6);
}

TEST(Mercator, RoundTripsAcrossTheMap) {
    for (double lat = -85; lat <= 85; lat += 0.7) {
        for (double lon = -180; lon <= 180; lon += 3.3) {
            const LatLon back = mercator::unproject(mercator::project({lat, lon}));
            ASSERT_NEAR(back.lat, lat, 1e-9) << lat << " " << lon;
            ASSERT_NEAR(back.lon, lon, 1e-9) << lat << " " << lon;
        }
    }
    // Two GPS fixes 1 cm apart stay apart at the deepest zoom.
    const WorldPoint a = mercator::project({55.75, 37.6});
    const WorldPoint b = mercator::project({55.75 + 1e-7, 37.6});
    EXPECT_GT((a.y - b.y) * mercator::scale(Viewport::kMaxZoom), 0.05);
}

TEST(Mercator, ARunOfNearbyPointsProjectsAsEachAlone) {
    mercator::Run run;
    std::mt19937 rng(5);
    std::normal_distribution<double> step(0, 2e-4);  // degrees, a car's second
    std::uniform_real_distribution<double> anywhere(-89, 89);
    double lat = 55.75, lon = 37.6, worst = 0;
    for (int i = 0; i < 400000; ++i) {
        if (i % 50000 == 0) lat = anywhere(rng);  // jumps, the far north included
        lat = std::clamp(lat + step(rng), -89.9, 89.9);
        lon = std::remainder(lon + step(rng), 360);
        const WorldPoint a = run.project({lat, lon});
        const WorldPoint b = mercator::project({lat, lon});
        ASSERT_EQ(a.x, b.x);
        worst = std::max(worst, std::abs(a.y - b.y));
    }
    EXPECT_LT(worst, 1e-12);
    // Long steps and the very edge of the map.
    for (double l : {10.0, 10.0005, 10.06, -80.0, -79.99, 85.0, 85.05, 89.0, 90.0, -90.0, 0.0}) {
        EXPECT_NEAR(run.project({l, 0}).y, mercator::project({l, 0}).y, 1e-12) << l;
    }
}

TEST(Viewport, ScreenAndWorldRoundTrip) {
    Viewport v;
    v.setSize(640, 480);
    v.setZoom(12.3);
    v.setCenter(mercator::project({55.75, 37.6}));
    const WorldPoint w = v.toWorld({17, 400});
    const ScreenPoint s = v.toScreen(w);
    EXPECT_NEAR(s.x, 17, 1e-6);
    EXPECT_NEAR(s.y, 400, 1e-6);
    const WorldRect r = v.visibleRect();
    EXPECT_NEAR(r.width() * v.scale(), 640, 1e-6);
    EXPECT_NEAR(r.height() * v.scale(), 480, 1e-6);
}

TEST(Viewport, ZoomKeepsThePointUnderTheCursorAndPanFollowsTheMouse) {
    Viewport v;
    v.setSize(640, 480);
    v.setZoom(10);
    v.setCenter(mercator::project({55.75, 37.6}));
    const ScreenPoint cursor{100, 50};
    const WorldPoint under = v.toWorld(cursor);
    v.zoomAbout(cursor, 1.5);
    EXPECT_DOUBLE_EQ(v.zoom(), 11.5);
    EXPECT_NEAR(v.toScreen(under).x, 100, 1e-6);
    EXPECT_NEAR(v.toScreen(under).y, 50, 1e-6);
    v.zoomAbout(cursor, -3);
    EXPECT_NEAR(v.toScreen(under).x, 100, 1e-6);

    const WorldPoint grabbed = v.toWorld({300, 200});
    v.panBy(25, -40);
    EXPECT_NEAR(v.toScreen(grabbed).x, 325, 1e-6);
    EXPECT_NEAR(v.toScreen(grabbed).y, 160, 1e-6);

    // Zoom stays within its range, and nothing non-finite gets in.
    v.zoomAbout(cursor, 100);
    EXPECT_EQ(v.zoom(), Viewport::kMaxZoom);
    v.zoomAbout(cursor, -100);
    EXPECT_EQ(v.zoom(), Viewport::kMinZoom);
    v.setZoom(NAN);
    v.setCenter({NAN, 0.3});
    EXPECT_EQ(v.zoom(), Viewport::kMinZoom);
    EXPECT_TRUE(std::isfinite(v.center().x));
}

TEST(Viewport, FitShowsEverythingWithItsMargin) {
    Viewport v;
    v.setSize(600, 400);
    const WorldRect track{0.6, 0.3, 0.61, 0.302};  // wide and flat
    v.fit(track, 20);
    const ScreenPoint tl = v.toScreen({track.left, track.top});
    const ScreenPoint br = v.toScreen({track.right, track.bottom});
    EXPECT_NEAR(tl.x, 20, 1e-6);  // the width decides
    EXPECT_NEAR(br.x, 580, 1e-6);
    EXPECT_GE(tl.y, 20);
    EXPECT_LE(br.y, 380);
    // A single point or a tiny cluster is shown close, not at the deepest zoom.
    v.fit({0.6, 0.3, 0.6, 0.3}, 20);
    EXPECT_EQ(v.zoom(), Viewport::kMaxFitZoom);
    EXPECT_DOUBLE_EQ(v.center().x, 0.6);
    // A panel too small for its margins still shows the rectangle.
    v.setSize(30, 30);
    v.fit(track, 20);
    EXPECT_LE((track.right - track.left) * v.scale(), 30 + 1e-9);
}

TEST(ScaleBar, RoundLengthsInMetresAndKilometres) {
    geovanta::test::LanguageScope russian(Language::Russian);
    Viewport v;
    v.setSize(600, 400);
    v.setCenter(mercator::project({0, 0}));
    for (double zoom = 0; zoom <= Viewport::kMaxZoom; zoom += 0.25) {
        v.setZoom(zoom);
        const ScaleBar bar = ScaleBar::forView(v, 120);
        ASSERT_LE(bar.pixels, 120 + 1e-9) << zoom;
        ASSERT_GT(bar.pixels, 120 / 2.5 - 1e-9) << zoom;  // the next round length would not fit
        const double mantissa = bar.metres / std::pow(10.0, std::floor(std::log10(bar.metres)));
        ASSERT_TRUE(mantissa == 1 || mantissa == 2 || mantissa == 5) << bar.metres;
    }
    v.setZoom(14);  // 9.55 m per pixel at the equator
    EXPECT_EQ(ScaleBar::forView(v, 120).text, "1 км");
    EXPECT_EQ(ScaleBar::forView(v, 60).text, "500 м");
    // At 60 degrees a metre takes twice the pixels.
    v.setCenter(mercator::project({60, 0}));
    EXPECT_EQ(ScaleBar::forView(v, 120).text, "500 м");
    EXPECT_NEAR(ScaleBar::forView(v, 120).pixels, 500 / (9.5546 / 2), 0.1);
}

TEST(Graticule, RoundStepsFarEnoughApart) {
    Viewport v;
    v.setSize(600, 400);
    v.setCenter(mercator::project({55.75, 37.6}));
    double previousStep = 1000;
    for (double zoom = 0; zoom <= Viewport::kMaxZoom; zoom += 1) {
        v.setZoom(zoom);
        const Graticule g = Graticule::forView(v, 80);
        ASSERT_LE(g.step, previousStep);
        previousStep = g.step;
        ASSERT_FALSE(g.longitudes.empty()) << zoom;
        ASSERT_LE(g.longitudes.size(), 600 / 80 + 2) << zoom;
        for (std::size_t i = 1; i < g.longitudes.size(); ++i) {
            const double px = (g.longitudes[i] - g.longitudes[i - 1]) / 360 * v.scale();
            ASSERT_GE(px, 80 - 1e-6) << zoom;
        }
        for (std::size_t i = 1; i < g.latitudes.size(); ++i) ASSERT_LT(g.latitudes[i], g.latitudes[i - 1]);
    }
    v.setZoom(10);  // 0.7 degrees across: lines every 10 minutes
    const Graticule g = Graticule::forView(v, 80);
    EXPECT_DOUBLE_EQ(g.step, 10.0 / 60);
    EXPECT_NEAR(g.longitudes.front() * 6, std::round(g.longitudes.front() * 6), 1e-9);
}

// A drop at a panel point gives the place drawn there, to within a pixel, at
// every zoom; beside a zoomed-out world it gives nothing.
TEST(Viewport, DropPointToPositionAndBack) {
    for (double zoom : {2.0, 9.5, 17.0, 21.0}) {
        Viewport view;
        view.setSize(640, 480);
        view.setZoom(zoom);
        view.setCenter(mercator::project({64.1466, -21.9426}));
        for (const ScreenPoint p : {ScreenPoint{0, 0}, ScreenPoint{320.5, 240.25}, ScreenPoint{639, 479}}) {
            const std::optional<LatLon> at = view.positionAt(p);
            ASSERT_TRUE(at);
            const ScreenPoint back = view.toScreen(mercator::project(*at));
            EXPECT_NEAR(back.x, p.x, 1) << zoom;
            EXPECT_NEAR(back.y, p.y, 1) << zoom;
        }
    }
    Viewport world;
    world.setSize(1000, 800);
    world.setZoom(0);
    world.setCenter({0.5, 0.5});
    EXPECT_TRUE(world.positionAt({500, 400}));
    EXPECT_FALSE(world.positionAt({100, 400}));  // west of longitude -180
    EXPECT_FALSE(world.positionAt({500, 10}));   // north of the square's edge
}

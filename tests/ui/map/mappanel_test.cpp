// The map panel offscreen: what it draws, what the mouse does to it, and the
// tray of unplaced photographs.
#include <QListView>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include "map/maprows.h"
#include "map/tilesource.h"
#include "table/datatable.h"
#include "tileserver.h"
#include "ui/map/mapcanvas.h"
#include "ui/map/maprenderer.h"
#include "ui/map/mapwidget.h"

using namespace geovanta;

Q_DECLARE_METATYPE(std::size_t)

namespace {

// A walk north-east through Moscow with a waypoint, two photographs placed
// on it and one that could not be placed.
void fill(DataTable& t) {
    test::addMapRow(t, "T", "T01-0001", 55.750, 37.600);  // 0
    test::addMapRow(t, "T", "T01-0002", 55.752, 37.605);  // 1
    test::addMapRow(t, "F", "IMG_0001.JPG", 55.753, 37.6075);  // 2
    test::addMapRow(t, "T", "T01-0003", 55.754, 37.610);  // 3
    test::addMapRow(t, "P", "Кремль", 55.7520, 37.6175);  // 4
    test::addMapRow(t, "F", "IMG_0002.JPG", 0, 0);  // 5, unplaced
    test::addMapRow(t, "T", "T01-0004", 55.756, 37.620);  // 6
    test::addMapRow(t, "F", "IMG_0003.JPG", 55.757, 37.6225);  // 7
    test::addMapRow(t, "T", "T01-0005", 55.758, 37.625);  // 8
}

bool near(QColor a, QColor b, int tolerance = 40) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) <= tolerance;
}

}  // namespace

class MapPanelTest : public QObject {
    Q_OBJECT

    DataTable table_;
    MapWidget* panel_ = nullptr;

    MapCanvas* canvas() { return panel_->canvas(); }
    QPoint screenOf(double lat, double lon) {
        const ScreenPoint p = canvas()->viewport().toScreen(mercator::project({lat, lon}));
        return QPoint(static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y)));
    }
    QImage picture() { return canvas()->grab().toImage(); }
    static int darkPixelsInTheCorner(const QImage& image) {
        int dark = 0;
        for (int y = image.height() - 14; y < image.height(); ++y) {
            for (int x = image.width() - 120; x < image.width(); ++x) dark += image.pixelColor(x, y).lightness() < 100;
        }
        return dark;
    }

private slots:
    void init() {
        table_.clear();
        fill(table_);
        panel_ = new MapWidget;
        panel_->resize(500, 460);
        panel_->show();
        QVERIFY(QTest::qWaitForWindowExposed(panel_));
        panel_->rebuild(table_);
        QApplication::processEvents();  // the tray appeared: let the layout settle
    }
    void cleanup() {
        delete panel_;
        panel_ = nullptr;
    }

    void drawsTheTrackWaypointAndPlacedPhotographs() {
        // Fitted: every position inside the map, clear of its edges.
        const WorldRect view = canvas()->viewport().visibleRect();
        for (std::size_t r = 0; r < table_.rowCount(); ++r) {
            if (const auto at = canvas()->data().positionOf(r)) QVERIFY(view.contains(*at));
        }
        const QImage image = picture();
        QVERIFY(near(image.pixelColor(screenOf(55.753, 37.6075)), MapRenderer::placedColor()));
        QVERIFY(near(image.pixelColor(screenOf(55.757, 37.6225)), MapRenderer::placedColor()));
        // The middle of a leg is drawn in the track's colour.
        QVERIFY(near(image.pixelColor(screenOf(55.755, 37.615)), MapRenderer::trackColor(0), 60));
        QVERIFY(near(image.pixelColor(screenOf(55.7520, 37.6175)), MapRenderer::waypointColor()));
        // No tiles: the plain background, nothing else.
        QVERIFY(near(image.pixelColor(screenOf(55.7575, 37.601)), MapRenderer::backgroundColor(), 30));
    }

    void unplacedPhotographsWaitInTheTray() {
        QListView* tray = panel_->tray();
        QVERIFY(tray->isVisible());
        QCOMPARE(tray->model()->rowCount(), 1);
        const QModelIndex item = tray->model()->index(0, 0);
        QCOMPARE(item.data().toString(), QString("IMG_0002.JPG"));
        QCOMPARE(item.data(Qt::ForegroundRole).value<QColor>(), MapRenderer::unplacedColor());

        QSignalSpy activated(panel_, &MapWidget::rowActivated);
        QTest::mouseClick(tray->viewport(), Qt::LeftButton, {}, tray->visualRect(item).center());
        QCOMPARE(activated.size(), 1);
        QCOMPARE(activated[0][0].value<std::size_t>(), 5u);

        // The grid moving onto it selects it in the tray; moving away clears it.
        panel_->setCurrentRow(3);
        QVERIFY(!tray->currentIndex().isValid());
        panel_->setCurrentRow(5);
        QCOMPARE(tray->currentIndex().row(), 0);

        // Once every photograph has a place the tray goes.
        table_.setReal(5, FieldId::Lat, 55.7535);
        table_.setReal(5, FieldId::Lon, 37.609);
        panel_->rebuild(table_);
        QVERIFY(!tray->isVisible());
        QCOMPARE(tray->model()->rowCount(), 0);
    }

    void aClickOnAMarkMakesItsRowCurrent() {
        QSignalSpy activated(panel_, &MapWidget::rowActivated);
        QTest::mouseClick(canvas(), Qt::LeftButton, {}, screenOf(55.757, 37.6225) + QPoint(2, -3));
        QCOMPARE(activated.size(), 1);
        QCOMPARE(activated[0][0].value<std::size_t>(), 7u);
        QCOMPARE(canvas()->currentRow(), std::optional<std::size_t>(7));
        QTest::mouseClick(canvas(), Qt::LeftButton, {}, screenOf(55.758, 37.625));
        QCOMPARE(activated.last()[0].value<std::size_t>(), 8u);  // a track point
        QTest::mouseClick(canvas(), Qt::LeftButton, {}, screenOf(55.7575, 37.601));  // nothing there
        QCOMPARE(activated.size(), 2);
    }

    void theCurrentRowIsRingedAndBroughtIntoView() {
        const QPoint at = screenOf(55.754, 37.610);
        const QPoint ring = at + QPoint(9, 0);
        QVERIFY(!near(picture().pixelColor(ring), MapRenderer::currentColor()));
        panel_->setCurrentRow(3);
        QVERIFY(near(picture().pixelColor(ring), MapRenderer::currentColor(), 80));

        // Far out of view: the map moves to it without changing the zoom.
        const double zoom = canvas()->viewport().zoom();
        QWheelEvent wheel(QPointF(250, 200), canvas()->mapToGlobal(QPointF(250, 200)), {}, QPoint(0, 480), Qt::NoButton,
                          {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas(), &wheel);
        QVERIFY(!canvas()->viewport().visibleRect().contains(mercator::project({55.750, 37.600})));
        panel_->setCurrentRow(0);
        QVERIFY(canvas()->viewport().visibleRect().contains(mercator::project({55.750, 37.600})));
        QCOMPARE(canvas()->viewport().zoom(), zoom + 4 * MapCanvas::kZoomPerNotch);
    }

    void wheelZoomsAboutTheCursorDragPansAndFitRestores() {
        const QPointF cursor(120, 300);
        const WorldPoint under = canvas()->viewport().toWorld({cursor.x(), cursor.y()});
        const double zoom = canvas()->viewport().zoom();
        QWheelEvent wheel(cursor, canvas()->mapToGlobal(cursor), {}, QPoint(0, 240), Qt::NoButton, {},
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas(), &wheel);
        QCOMPARE(canvas()->viewport().zoom(), zoom + 2 * MapCanvas::kZoomPerNotch);
        const ScreenPoint still = canvas()->viewport().toScreen(under);
        QVERIFY(std::abs(still.x - cursor.x()) < 1e-6 && std::abs(still.y - cursor.y()) < 1e-6);

        const WorldPoint grabbed = canvas()->viewport().toWorld({200, 200});
        QTest::mousePress(canvas(), Qt::LeftButton, {}, QPoint(200, 200));
        QTest::mouseMove(canvas(), QPoint(230, 210));
        QTest::mouseMove(canvas(), QPoint(260, 150));
        QSignalSpy activated(panel_, &MapWidget::rowActivated);
        QTest::mouseRelease(canvas(), Qt::LeftButton, {}, QPoint(260, 150));
        const ScreenPoint moved = canvas()->viewport().toScreen(grabbed);
        QCOMPARE(std::lround(moved.x), 260);
        QCOMPARE(std::lround(moved.y), 150);
        QCOMPARE(activated.size(), 0);  // a drag is no click

        // A resize after the user moved the map leaves it where it is ...
        const WorldPoint centre = canvas()->viewport().center();
        panel_->resize(520, 470);
        QCOMPARE(canvas()->viewport().center().x, centre.x);
        QCOMPARE(canvas()->viewport().zoom(), zoom + 2 * MapCanvas::kZoomPerNotch);
        // ... and the button brings everything back into view.
        QTest::mouseClick(panel_->fitButton(), Qt::LeftButton);
        QVERIFY(canvas()->viewport().visibleRect().contains(canvas()->data().bounds.rect));
        QVERIFY(canvas()->viewport().zoom() < zoom + 0.5);
    }

    void aNewPassKeepsTheViewUnlessSomethingLiesBeyondIt() {
        QWheelEvent wheel(QPointF(250, 200), canvas()->mapToGlobal(QPointF(250, 200)), {}, QPoint(0, 120), Qt::NoButton,
                          {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas(), &wheel);
        const double zoom = canvas()->viewport().zoom();
        panel_->rebuild(table_);  // e.g. after the offsets changed
        QCOMPARE(canvas()->viewport().zoom(), zoom);
        test::addMapRow(table_, "T", "T02-0001", 59.93, 30.31);  // another track, far away
        panel_->rebuild(table_);
        QVERIFY(canvas()->viewport().zoom() < zoom - 3);
        QVERIFY(canvas()->viewport().visibleRect().contains(mercator::project({59.93, 30.31})));
    }

    void anEmptyTableDrawsThePlainMap() {
        panel_->rebuild(DataTable());
        QVERIFY(!panel_->tray()->isVisible());
        QVERIFY(!picture().isNull());
        QTest::mouseClick(canvas(), Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseClick(panel_->fitButton(), Qt::LeftButton);
    }

    void tilesUnderTheDataWithTheirAttribution() {
        test::TileServer server;
        QTemporaryDir cache;
        TileFetchOptions options;
        options.cacheFolder = cache.path();
        canvas()->setTileSource(TileSource(server.urlTemplate().toStdString()), options);
        QTRY_VERIFY(!server.requests.isEmpty());
        QTRY_VERIFY(near(picture().pixelColor(screenOf(55.7575, 37.601)), server.color, 10));
        // Only the tiles in view, at the zoom in view.
        const TileCoverage coverage = TileCoverage::forView(canvas()->viewport(), TileSource::kMaxZoom);
        QTRY_COMPARE(server.requests.size(), coverage.tiles.size());
        for (const auto& r : server.requests) QVERIFY(r.path.startsWith(QByteArray::number(coverage.zoom).prepend('/')));
        QVERIFY(near(picture().pixelColor(screenOf(55.757, 37.6225)), MapRenderer::placedColor()));
        QVERIFY(darkPixelsInTheCorner(picture()) > 20);  // the attribution's letters

        // Tiles off again: back to the plain background, and nothing to attribute.
        panel_->setTileTemplate("");
        QVERIFY(!canvas()->tileFetcher());
        QVERIFY(near(picture().pixelColor(screenOf(55.7575, 37.601)), MapRenderer::backgroundColor(), 30));
        QCOMPARE(darkPixelsInTheCorner(picture()), 0);
    }

    void withoutNetworkTheMapStillWorks() {
        test::TileServer server;
        server.close();
        QTemporaryDir cache;
        TileFetchOptions options;
        options.cacheFolder = cache.path();
        canvas()->setTileSource(TileSource(server.urlTemplate().toStdString()), options);
        QSignalSpy failed(canvas()->tileFetcher(), &TileFetcher::tileFailed);
        picture();
        QTRY_VERIFY(!failed.isEmpty());
        const QImage image = picture();
        QVERIFY(near(image.pixelColor(screenOf(55.757, 37.6225)), MapRenderer::placedColor()));
        QVERIFY(near(image.pixelColor(screenOf(55.7575, 37.601)), MapRenderer::backgroundColor(), 30));
        QCOMPARE(QApplication::topLevelWidgets().size(), 1);  // no message of any kind
    }

    void aMissingTileBorrowsFromACoarserOne() {
        // A zoom-3 tile in four colours; the zoom-5 tile at its lower right is not at hand.
        QImage parent(256, 256, QImage::Format_ARGB32_Premultiplied);
        QPainter p(&parent);
        p.fillRect(0, 0, 128, 128, Qt::red);
        p.fillRect(128, 0, 128, 128, Qt::green);
        p.fillRect(0, 128, 128, 128, Qt::blue);
        p.fillRect(128, 128, 128, 128, Qt::yellow);
        p.end();
        Viewport view;
        view.setSize(256, 256);
        view.setZoom(5);
        view.setCenter({(31 + 0.5) / 32, (30 + 0.5) / 32});  // tile 5/31/30 fills the view
        const MapRenderer::TileLookup lookup = [&](const TileKey& k) {
            return k == TileKey{3, 7, 7} ? &parent : nullptr;
        };
        QImage image(256, 256, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        MapRenderer renderer;
        renderer.paint(painter, MapData{}, view, MapScene{}, &lookup, TileSource::kMaxZoom);
        painter.end();
        // 5/31/30 is the right half, upper half of the lower-right quarter of 3/7/7.
        QCOMPARE(image.pixelColor(128, 100), QColor(Qt::yellow));
        QVERIFY(near(image.pixelColor(5, 5), QColor(Qt::yellow), 10));
    }
};

QTEST_MAIN(MapPanelTest)
#include "mappanel_test.moc"

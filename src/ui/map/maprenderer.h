#pragma once
// Paints the map with QPainter: a plain background with a graticule, the
// tiles that are at hand over it, then track lines, waypoints, photographs
// (those placed by hand ringed), the current row, the scale bar and the tile
// attribution. Knows nothing of
// widgets, so it paints into an image as well as onto the screen.

#include <QColor>
#include <QImage>
#include <QPolygonF>
#include <functional>

#include "map/mapscene.h"
#include "map/tilegrid.h"

class QPainter;

namespace geovanta {

class MapRenderer {
public:
    // The tile at hand for a key, or nullptr.
    using TileLookup = std::function<const QImage*(const TileKey&)>;

    static QColor placedColor() { return {0, 128, 0}; }     // as the grid shows placed photographs
    static QColor unplacedColor() { return {255, 0, 0}; }
    static QColor currentColor() { return {255, 0, 255}; }
    static QColor handRingColor() { return {0, 50, 0}; }
    static QColor backgroundColor() { return {242, 239, 233}; }
    static QColor waypointColor() { return {40, 40, 60}; }
    static QColor trackColor(std::size_t track);
    static const char* attribution() { return "© OpenStreetMap contributors"; }

    // `tiles` null means tiles are off: no tiles and no attribution.
    void paint(QPainter& painter, const MapData& data, const Viewport& view, const MapScene& scene,
               const TileLookup* tiles, int maxTileZoom);
    // Where photographs dragged over the map will land: a cross, the mark
    // they will get and the position as `label`.
    void paintDropTarget(QPainter& painter, const QPointF& at, const QString& label);

private:
    struct Sprite {
        QImage image;
        qreal ratio = 0;
    };
    // Photographs are round, those placed by hand ringed; waypoints square.
    enum class Shape { Round, Ringed, Square };
    // The picture of one mark, drawn once per screen resolution.
    static const QImage& sprite(Sprite& cache, qreal ratio, Shape shape, const QColor& fill);
    static void stamp(QPainter& painter, const std::vector<SceneMark>& marks, const QImage& image);
    void paintBackground(QPainter& painter, const Viewport& view);
    void paintTiles(QPainter& painter, const Viewport& view, const TileLookup& tiles, int maxTileZoom);
    void paintLines(QPainter& painter, const MapScene& scene);
    void paintMarks(QPainter& painter, const MapData& data, const MapScene& scene);
    void paintScaleBar(QPainter& painter, const Viewport& view);
    void paintAttribution(QPainter& painter, const Viewport& view);

    QPolygonF polygon_;  // reused from line to line
    Sprite photoSprite_;
    Sprite handSprite_;
    Sprite waypointSprite_;
};

}  // namespace geovanta

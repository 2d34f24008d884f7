#include "ui/map/maprenderer.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <array>
#include <utility>
#include <vector>
#include <cmath>

#include "map/graticule.h"
#include "map/scalebar.h"

namespace geovanta {
namespace {

constexpr double kGraticuleSpacing = 90;  // pixels, at least
constexpr double kScaleBarRoom = 120;
constexpr double kPhotoRadius = 5;
constexpr double kHandRadius = 6;
constexpr double kWaypointSide = 6;
constexpr double kCurrentRadius = 9;
constexpr int kParentLevels = 4;
constexpr std::size_t kWidePenBudget = 6000;  // points per paint  // how far up a missing tile borrows from a coarser one

QString u(const char* text) { return QString::fromUtf8(text); }

}  // namespace

QColor MapRenderer::trackColor(std::size_t track) {
    // Dark colours that neither photo colour uses, and that stand out on a street map.
    static constexpr std::array<QRgb, 5> kColors = {qRgb(0, 80, 220), qRgb(150, 40, 190), qRgb(200, 100, 0),
                                                     qRgb(0, 130, 140), qRgb(90, 90, 90)};
    return QColor::fromRgb(kColors[track % kColors.size()]);
}

void MapRenderer::paint(QPainter& painter, const MapData& data, const Viewport& view, const MapScene& scene,
                        const TileLookup* tiles, int maxTileZoom) {
    painter.save();
    paintBackground(painter, view);
    if (tiles) paintTiles(painter, view, *tiles, maxTileZoom);
    painter.setRenderHint(QPainter::Antialiasing, true);
    paintLines(painter, scene);
    paintMarks(painter, data, scene);
    paintScaleBar(painter, view);
    if (tiles) paintAttribution(painter, view);
    painter.restore();
}

void MapRenderer::paintBackground(QPainter& painter, const Viewport& view) {
    painter.fillRect(QRectF(0, 0, view.width(), view.height()), backgroundColor());
    const Graticule g = Graticule::forView(view, kGraticuleSpacing);
    painter.setPen(QPen(QColor(200, 196, 188), 1));
    for (double lon : g.longitudes) {
        const double x = std::round(view.toScreen(mercator::project({0, lon})).x) + 0.5;
        painter.drawLine(QPointF(x, 0), QPointF(x, view.height()));
    }
    for (double lat : g.latitudes) {
        const double y = std::round(view.toScreen(mercator::project({lat, 0})).y) + 0.5;
        painter.drawLine(QPointF(0, y), QPointF(view.width(), y));
    }
}

void MapRenderer::paintTiles(QPainter& painter, const Viewport& view, const TileLookup& tiles, int maxTileZoom) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    for (const TilePlacement& t : TileCoverage::forView(view, maxTileZoom).tiles) {
        // Whole pixels on both edges, so neighbouring tiles meet without seams.
        const QRectF target(std::floor(t.left), std::floor(t.top), std::floor(t.left + t.size) - std::floor(t.left),
                            std::floor(t.top + t.size) - std::floor(t.top));
        if (const QImage* image = tiles(t.key)) {
            painter.drawImage(target, *image);
            continue;
        }
        // While it loads, show the matching part of a coarser tile, enlarged.
        TileKey key = t.key;
        for (int up = 1; up <= kParentLevels && key.z > 0; ++up) {
            key = key.parent();
            const QImage* parent = tiles(key);
            if (!parent) continue;
            const int parts = 1 << up;
            const double side = static_cast<double>(parent->width()) / parts;
            const QRectF source((t.key.x - (key.x << up)) * side, (t.key.y - (key.y << up)) * side, side, side);
            painter.drawImage(target, *parent, source);
            break;
        }
    }
}

void MapRenderer::paintLines(QPainter& painter, const MapScene& scene) {
    std::size_t points = 0;
    for (const ScenePolyline& line : scene.lines) points += line.points.size();
    // A wide pen goes through Qt's stroker, which costs some twenty times a
    // hairline per point. Lines the eye can follow get the wide pen; a
    // scribble too dense to follow gets three hairlines side by side, which
    // look the same from a step back.
    const bool wide = points <= kWidePenBudget;
    static constexpr QPointF kOffsets[] = {{0, 0}, {0.9, 0}, {0, 0.9}};
    painter.setBrush(Qt::NoBrush);
    for (const ScenePolyline& line : scene.lines) {
        QPen pen(trackColor(line.track), wide ? 2.5 : 0);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        painter.setPen(pen);
        if (line.points.size() == 1) {
            painter.drawPoint(QPointF(line.points[0].x, line.points[0].y));
            continue;
        }
        polygon_.resize(static_cast<qsizetype>(line.points.size()));
        for (std::size_t i = 0; i < line.points.size(); ++i) {
            polygon_[static_cast<qsizetype>(i)] = QPointF(line.points[i].x, line.points[i].y);
        }
        if (wide) {
            painter.drawPolyline(polygon_);
            continue;
        }
        for (const QPointF& offset : kOffsets) {
            painter.translate(offset);
            painter.drawPolyline(polygon_);
            painter.translate(-offset);
        }
    }
}

const QImage& MapRenderer::sprite(Sprite& cache, qreal ratio, Shape shape, const QColor& fill) {
    if (cache.image.isNull() || cache.ratio != ratio) {
        const bool round = shape != Shape::Square;
        const double side = shape == Shape::Ringed ? 2 * kHandRadius + 2 : round ? 2 * kPhotoRadius + 2 : kWaypointSide + 2;
        const int pixels = static_cast<int>(std::ceil(side * ratio));
        cache.image = QImage(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
        cache.image.setDevicePixelRatio(ratio);
        cache.image.fill(Qt::transparent);
        cache.ratio = ratio;
        QPainter p(&cache.image);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::white, 1.5));
        p.setBrush(fill);
        const QRectF body(1, 1, side - 2, side - 2);
        if (!round) {
            p.drawRect(body);
        } else if (shape == Shape::Round) {
            p.drawEllipse(body);
        } else {
            // A dark ring round the photograph's green and a pin's white head.
            p.setPen(QPen(handRingColor(), 2));
            p.drawEllipse(body.adjusted(0.5, 0.5, -0.5, -0.5));
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawEllipse(body.center(), 1.6, 1.6);
        }
    }
    return cache.image;
}

void MapRenderer::stamp(QPainter& painter, const std::vector<SceneMark>& marks, const QImage& image) {
    // Thousands of marks: copy one ready-drawn picture rather than draw each.
    const double half = image.width() / image.devicePixelRatio() / 2;
    for (const SceneMark& m : marks) painter.drawImage(QPointF(std::round(m.at.x - half), std::round(m.at.y - half)), image);
}

void MapRenderer::paintMarks(QPainter& painter, const MapData& data, const MapScene& scene) {
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1;
    stamp(painter, scene.waypoints, sprite(waypointSprite_, ratio, Shape::Square, waypointColor()));
    const double h = kWaypointSide / 2;

    const QFontMetricsF metrics(painter.font());
    for (const SceneMark& m : scene.waypoints) {
        if (!m.labelled) continue;
        const QString name = QString::fromStdString(data.waypoints[m.index].name);
        const QPointF at(m.at.x + h + 3, m.at.y + metrics.ascent() / 2 - 1);
        // A light halo keeps the name readable over any tile.
        painter.setPen(QPen(QColor(255, 255, 255, 200), 3));
        QPainterPath path;
        path.addText(at, painter.font(), name);
        painter.strokePath(path, painter.pen());
        painter.fillPath(path, QColor(20, 20, 40));
    }

    std::vector<SceneMark> byPass, byHand;
    for (const SceneMark& m : scene.photos) (data.photos[m.index].byHand ? byHand : byPass).push_back(m);
    stamp(painter, byPass, sprite(photoSprite_, ratio, Shape::Round, placedColor()));
    stamp(painter, byHand, sprite(handSprite_, ratio, Shape::Ringed, placedColor()));

    if (scene.current) {
        const QPointF c(scene.current->x, scene.current->y);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::white, 5));
        painter.drawEllipse(c, kCurrentRadius, kCurrentRadius);
        painter.setPen(QPen(currentColor(), 3));
        painter.drawEllipse(c, kCurrentRadius, kCurrentRadius);
    }
}

void MapRenderer::paintDropTarget(QPainter& painter, const QPointF& at, const QString& label) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    constexpr double kArm = 16;
    for (const auto& [pen, width] : {std::pair(QColor(255, 255, 255, 220), 3.0), std::pair(handRingColor(), 1.0)}) {
        painter.setPen(QPen(pen, width));
        painter.drawLine(at - QPointF(kArm, 0), at + QPointF(kArm, 0));
        painter.drawLine(at - QPointF(0, kArm), at + QPointF(0, kArm));
    }
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1;
    const QImage& mark = sprite(handSprite_, ratio, Shape::Ringed, placedColor());
    const double half = mark.width() / mark.devicePixelRatio() / 2;
    painter.drawImage(QPointF(std::round(at.x() - half), std::round(at.y() - half)), mark);
    QPainterPath path;
    // Above and to the right: a dragged picture hangs below the mouse.
    path.addText(at + QPointF(kArm, -kArm / 2), painter.font(), label);
    painter.strokePath(path, QPen(QColor(255, 255, 255, 220), 3));
    painter.fillPath(path, QColor(20, 20, 40));
    painter.restore();
}

void MapRenderer::paintScaleBar(QPainter& painter, const Viewport& view) {
    const ScaleBar bar = ScaleBar::forView(view, kScaleBarRoom);
    const QFontMetricsF metrics(painter.font());
    const double left = 10, base = view.height() - 10;
    const QString text = QString::fromStdString(bar.text);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 190));
    painter.drawRect(QRectF(left - 4, base - metrics.height() - 10, std::max(bar.pixels, metrics.horizontalAdvance(text)) + 8,
                            metrics.height() + 14));
    QPen pen(QColor(30, 30, 30), 2);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.drawPolyline(QPolygonF({QPointF(left, base - 6), QPointF(left, base), QPointF(left + bar.pixels, base),
                                    QPointF(left + bar.pixels, base - 6)}));
    painter.drawText(QPointF(left + 2, base - 6), text);
}

void MapRenderer::paintAttribution(QPainter& painter, const Viewport& view) {
    const QString text = u(attribution());
    const QFontMetricsF metrics(painter.font());
    const QRectF box(view.width() - metrics.horizontalAdvance(text) - 8, view.height() - metrics.height() - 4,
                     metrics.horizontalAdvance(text) + 8, metrics.height() + 4);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 190));
    painter.drawRect(box);
    painter.setPen(QColor(30, 30, 30));
    painter.drawText(box, Qt::AlignCenter, text);
}

}  // namespace geovanta

#include "ui/map/mapcanvas.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QWheelEvent>
#include <algorithm>

#include "map/hittest.h"
#include "map/mapscene.h"
#include "map/tilesource.h"
#include "table/formatcoord.h"
#include "ui/map/photodrag.h"

namespace geovanta {
namespace {

// Four corner brackets: "everything into view".
QIcon fitIcon() {
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    const int a = 3, b = 17, l = 5;
    p.drawPolyline(QPolygon({QPoint(a, a + l), QPoint(a, a), QPoint(a + l, a)}));
    p.drawPolyline(QPolygon({QPoint(b - l, a), QPoint(b, a), QPoint(b, a + l)}));
    p.drawPolyline(QPolygon({QPoint(a, b - l), QPoint(a, b), QPoint(a + l, b)}));
    p.drawPolyline(QPolygon({QPoint(b - l, b), QPoint(b, b), QPoint(b, b - l)}));
    return QIcon(pixmap);
}

}  // namespace

MapCanvas::MapCanvas(QWidget* parent) : QWidget(parent) {
    setObjectName("MapCanvas");
    setMinimumSize(120, 120);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Reached with Tab from the grid, so the keys below move it.
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    setMouseTracking(true);  // to hide a photograph's preview once the mouse leaves its mark
    view_.setSize(width(), height());
    fitButton_ = new QToolButton(this);
    fitButton_->setObjectName("FitButton");
    fitButton_->setToolTip(tr("Показать всё"));
    fitButton_->setIcon(fitIcon());
    fitButton_->setFixedSize(28, 28);
    connect(fitButton_, &QToolButton::clicked, this, &MapCanvas::fitAll);
}

MapCanvas::~MapCanvas() = default;

void MapCanvas::setData(MapData data) {
    const WorldBounds before = data_.bounds;
    data_ = std::move(data);
    if (data_.bounds.valid && (!before.valid || !before.rect.contains(data_.bounds.rect))) fitAll();
    update();
}

void MapCanvas::changeData(const std::function<void(MapData&)>& change) {
    const bool hadPositions = data_.bounds.valid;
    change(data_);
    if (!hadPositions && data_.bounds.valid) fitAll();
    update();
}

void MapCanvas::setCurrentRow(std::optional<std::size_t> row) {
    currentRow_ = row;
    if (row) {
        if (const auto at = data_.positionOf(*row); at && !view_.visibleRect().contains(*at)) view_.setCenter(*at);
    }
    update();
}

void MapCanvas::setTileSource(const TileSource& source, const TileFetchOptions& options) {
    if (tiles_ && tiles_->source().urlTemplate() == source.urlTemplate()) return;
    tiles_.reset();
    if (source.enabled()) {
        tiles_ = std::make_unique<TileFetcher>(options);
        connect(tiles_.get(), &TileFetcher::tileReady, this, qOverload<>(&QWidget::update));
        tiles_->setSource(source);
    }
    update();
}

void MapCanvas::fitAll() {
    fitPending_ = true;
    fit();
    update();
}

void MapCanvas::fit() {
    if (data_.bounds.valid) view_.fit(data_.bounds.rect, kFitMargin);
}

void MapCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const MapScene scene = MapScene::build(data_, view_, currentRow_);
    if (!tiles_) {
        renderer_.paint(painter, data_, view_, scene, nullptr, TileSource::kMaxZoom);
        paintDropTarget(painter);
        paintFocus(painter);
        return;
    }
    std::vector<TileKey> wanted;
    for (const TilePlacement& t : TileCoverage::forView(view_, TileSource::kMaxZoom).tiles) wanted.push_back(t.key);
    tiles_->want(wanted);
    const MapRenderer::TileLookup lookup = [this](const TileKey& key) { return tiles_->tile(key); };
    renderer_.paint(painter, data_, view_, scene, &lookup, TileSource::kMaxZoom);
    paintDropTarget(painter);
    paintFocus(painter);
}

void MapCanvas::paintFocus(QPainter& painter) {
    if (!hasFocus()) return;
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

void MapCanvas::keyPressEvent(QKeyEvent* event) {
    const double stepX = width() / 8.0, stepY = height() / 8.0;
    const ScreenPoint middle{width() / 2.0, height() / 2.0};
    switch (event->key()) {
        case Qt::Key_Left: view_.panBy(stepX, 0); break;
        case Qt::Key_Right: view_.panBy(-stepX, 0); break;
        case Qt::Key_Up: view_.panBy(0, stepY); break;
        case Qt::Key_Down: view_.panBy(0, -stepY); break;
        case Qt::Key_Plus:
        case Qt::Key_Equal: view_.zoomAbout(middle, kZoomPerNotch * 2); break;
        case Qt::Key_Minus: view_.zoomAbout(middle, -kZoomPerNotch * 2); break;
        case Qt::Key_Home: fitAll(); return;
        default: QWidget::keyPressEvent(event); return;
    }
    fitPending_ = false;
    update();
}

void MapCanvas::paintDropTarget(QPainter& painter) {
    if (!dropTarget_) return;
    const std::optional<LatLon> at = view_.positionAt({dropTarget_->x(), dropTarget_->y()});
    if (!at) return;
    const std::string label = FormatCoord("SN", at->lat) + "   " + FormatCoord("WE", at->lon);
    renderer_.paintDropTarget(painter, *dropTarget_, QString::fromStdString(label));
}

void MapCanvas::resizeEvent(QResizeEvent*) {
    view_.setSize(width(), height());
    if (fitPending_) fit();
    fitButton_->move(width() - fitButton_->width() - 8, 8);
}

void MapCanvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    endHover();
    pressed_ = true;
    dragging_ = false;
    pressPos_ = lastPos_ = event->position().toPoint();
    // A photograph's mark is moved, not the map under it.
    pressedPhoto_ = placing_ ? photoAt(event->position()) : std::nullopt;
}

void MapCanvas::mouseMoveEvent(QMouseEvent* event) {
    if (!pressed_ || !(event->buttons() & Qt::LeftButton)) {
        if (hovered_ && photoAt(event->position()) != hovered_) endHover();
        return;
    }
    const QPoint pos = event->position().toPoint();
    if (!dragging_ && (pos - pressPos_).manhattanLength() < QApplication::startDragDistance()) return;
    if (pressedPhoto_ && !dragging_) {
        const std::size_t row = *pressedPhoto_;
        pressed_ = false;  // the drag takes the release
        pressedPhoto_.reset();
        dragMark(row);
        return;
    }
    dragging_ = true;
    fitPending_ = false;
    view_.panBy(pos.x() - lastPos_.x(), pos.y() - lastPos_.y());
    lastPos_ = pos;
    update();
}

void MapCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) return;
    pressed_ = false;
    if (dragging_) return;
    const QPointF pos = event->position();
    if (const auto hit = hitTest(data_, view_, {pos.x(), pos.y()}, kHitRadius)) {
        currentRow_ = hit->row;
        update();
        emit rowClicked(hit->row);
    }
}

void MapCanvas::wheelEvent(QWheelEvent* event) {
    // A mouse wheel turns in notches of 120; touchpads send smaller steps.
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0) return;
    fitPending_ = false;
    view_.zoomAbout({event->position().x(), event->position().y()}, notches * kZoomPerNotch);
    update();
    event->accept();
}

void MapCanvas::setPlacing(bool enabled) {
    placing_ = enabled;
    if (!enabled) pressedPhoto_.reset();
}

std::optional<std::size_t> MapCanvas::photoAt(const QPointF& pos) const {
    const auto hit = hitTest(data_, view_, {pos.x(), pos.y()}, kHitRadius);
    if (!hit || hit->kind != MapHit::Kind::Photo) return std::nullopt;
    return hit->row;
}

void MapCanvas::dragMark(std::size_t row) {
    const auto mark = std::find_if(data_.photos.begin(), data_.photos.end(),
                                   [row](const MapMark& m) { return m.row == row; });
    QStringList names;
    if (mark != data_.photos.end()) names << QString::fromStdString(mark->name);
    dragPhotos(this, photoRowsMime({row}), names);
}

bool MapCanvas::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    if (const auto row = photoAt(help->pos())) {
        hovered_ = row;
        emit photoHovered(*row, help->globalPos());
    } else {
        endHover();
    }
    return true;
}

void MapCanvas::leaveEvent(QEvent* event) {
    endHover();
    QWidget::leaveEvent(event);
}

void MapCanvas::endHover() {
    if (!hovered_) return;
    hovered_.reset();
    emit photoHoverEnded();
}

void MapCanvas::contextMenuEvent(QContextMenuEvent* event) {
    const auto row = photoAt(event->pos());
    if (!row) {
        event->ignore();
        return;
    }
    endHover();
    emit photoMenuRequested(*row, event->globalPos());
}

bool MapCanvas::acceptsDrag(const QDropEvent* event) const {
    return placing_ && !photoRowsOf(event->mimeData()).empty();
}

bool MapCanvas::showDropTarget(const QPointF& pos) {
    const bool onMap = view_.positionAt({pos.x(), pos.y()}).has_value();
    dropTarget_ = onMap ? std::optional(pos) : std::nullopt;
    update();
    return onMap;
}

void MapCanvas::dragEnterEvent(QDragEnterEvent* event) {
    if (!acceptsDrag(event)) {
        event->ignore();
        return;
    }
    // Taken even beside the map, so that the drag is followed back onto it.
    event->acceptProposedAction();
    showDropTarget(event->position());
}

void MapCanvas::dragMoveEvent(QDragMoveEvent* event) {
    if (acceptsDrag(event) && showDropTarget(event->position()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MapCanvas::dragLeaveEvent(QDragLeaveEvent*) {
    dropTarget_.reset();
    update();
}

void MapCanvas::dropEvent(QDropEvent* event) {
    // The person works with the map as it is now: a tray that shrinks as
    // its photograph goes must not fit the map anew under the mouse.
    fitPending_ = false;
    dropTarget_.reset();
    update();
    const QPointF pos = event->position();
    const std::optional<LatLon> at = view_.positionAt({pos.x(), pos.y()});
    const std::vector<std::size_t> rows = placing_ ? photoRowsOf(event->mimeData()) : std::vector<std::size_t>();
    if (!at || rows.empty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit photosDropped(rows, at->lat, at->lon);
}

}  // namespace geovanta

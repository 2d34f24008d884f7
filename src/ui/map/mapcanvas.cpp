#include "ui/map/mapcanvas.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QWheelEvent>

#include "map/hittest.h"
#include "map/mapscene.h"
#include "map/tilesource.h"

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
    setFocusPolicy(Qt::ClickFocus);
    view_.setSize(width(), height());
    fitButton_ = new QToolButton(this);
    fitButton_->setObjectName("FitButton");
    fitButton_->setToolTip(QString::fromUtf8("Показать всё"));
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
        return;
    }
    std::vector<TileKey> wanted;
    for (const TilePlacement& t : TileCoverage::forView(view_, TileSource::kMaxZoom).tiles) wanted.push_back(t.key);
    tiles_->want(wanted);
    const MapRenderer::TileLookup lookup = [this](const TileKey& key) { return tiles_->tile(key); };
    renderer_.paint(painter, data_, view_, scene, &lookup, TileSource::kMaxZoom);
}

void MapCanvas::resizeEvent(QResizeEvent*) {
    view_.setSize(width(), height());
    if (fitPending_) fit();
    fitButton_->move(width() - fitButton_->width() - 8, 8);
}

void MapCanvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    pressed_ = true;
    dragging_ = false;
    pressPos_ = lastPos_ = event->position().toPoint();
}

void MapCanvas::mouseMoveEvent(QMouseEvent* event) {
    if (!pressed_ || !(event->buttons() & Qt::LeftButton)) return;
    const QPoint pos = event->position().toPoint();
    if (!dragging_ && (pos - pressPos_).manhattanLength() < QApplication::startDragDistance()) return;
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

}  // namespace geovanta

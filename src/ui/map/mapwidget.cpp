#include "ui/map/mapwidget.h"

#include <QLabel>
#include <QListView>
#include <QVBoxLayout>
#include <algorithm>

#include "map/tilesource.h"
#include "table/datatable.h"
#include "ui/map/mapcanvas.h"
#include "ui/map/photodrag.h"
#include "ui/map/unplacedmodel.h"

namespace geovanta {
namespace {

constexpr std::size_t kTrayLines = 5;

// The tray's list, whose photographs are dragged onto the map.
class TrayView : public QListView {
public:
    using QListView::QListView;

protected:
    void startDrag(Qt::DropActions) override {
        QStringList names;
        for (const QModelIndex& index : selectedIndexes()) names << index.data().toString();
        if (!names.isEmpty()) dragPhotos(this, model()->mimeData(selectedIndexes()), names);
    }
};

std::vector<MapRow> rowsOf(const DataTable& table, std::size_t first, std::size_t last) {
    std::vector<MapRow> rows;
    for (std::size_t r = first; r <= last && r < table.rowCount(); ++r) rows.push_back(MapRow::of(table, r));
    return rows;
}

bool anyUnplaced(const std::vector<MapRow>& rows) {
    return std::any_of(rows.begin(), rows.end(),
                       [](const MapRow& row) { return row.kind == MapRow::Kind::Photo && !row.at; });
}

}  // namespace

MapWidget::MapWidget(QWidget* parent) : QWidget(parent) {
    setObjectName("MapPanel");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    canvas_ = new MapCanvas(this);
    layout->addWidget(canvas_, 1);

    trayTitle_ = new QLabel(this);
    trayTitle_->setObjectName("UnplacedTitle");
    trayTitle_->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(trayTitle_);
    unplaced_ = new UnplacedModel(this);
    tray_ = new TrayView(this);
    tray_->setObjectName("UnplacedList");
    tray_->setModel(unplaced_);
    tray_->setUniformItemSizes(true);  // lets the view skip measuring a long list
    tray_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tray_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tray_->setDragDropMode(QAbstractItemView::DragOnly);
    tray_->setDragEnabled(true);
    layout->addWidget(tray_);
    trayTitle_->hide();
    tray_->hide();

    connect(canvas_, &MapCanvas::rowClicked, this, &MapWidget::rowActivated);
    connect(canvas_, &MapCanvas::photosDropped, this, &MapWidget::photosDropped);
    connect(canvas_, &MapCanvas::photoHovered, this, &MapWidget::photoHovered);
    connect(canvas_, &MapCanvas::photoHoverEnded, this, &MapWidget::photoHoverEnded);
    connect(canvas_, &MapCanvas::photoMenuRequested, this, &MapWidget::photoMenuRequested);
    connect(tray_, &QListView::clicked, this, &MapWidget::trayPicked);
    connect(tray_, &QListView::activated, this, &MapWidget::trayPicked);
}

QToolButton* MapWidget::fitButton() const { return canvas_->fitButton(); }

void MapWidget::setData(MapData data) {
    const std::optional<std::size_t> current = canvas_->currentRow();
    unplaced_->setPhotos(nullptr);  // the tray must not read the old list while it is replaced
    canvas_->setData(std::move(data));
    showTray();
    setCurrentRow(current);
}

void MapWidget::updateRows(const DataTable& table, std::size_t first, std::size_t last) {
    const std::vector<MapRow> rows = rowsOf(table, first, last);
    changeRows(anyUnplaced(rows) || inTray(first, last), [&](MapData& data) {
        for (std::size_t i = 0; i < rows.size(); ++i) data.updateRow(first + i, rows[i]);
    });
}

void MapWidget::insertRows(const DataTable& table, std::size_t first, std::size_t last) {
    const std::vector<MapRow> rows = rowsOf(table, first, last);
    changeRows(anyUnplaced(rows), [&](MapData& data) {
        for (std::size_t i = 0; i < rows.size(); ++i) data.insertRow(first + i, rows[i]);
    });
}

void MapWidget::removeRows(std::size_t first, std::size_t last) {
    changeRows(inTray(first, last), [&](MapData& data) {
        // Each removal moves the next row up to `first`.
        for (std::size_t r = first; r <= last; ++r) data.removeRow(first);
    });
}

bool MapWidget::inTray(std::size_t first, std::size_t last) const {
    for (std::size_t r = first; r <= last; ++r) {
        if (canvas_->data().unplacedIndexOf(r)) return true;
    }
    return false;
}

void MapWidget::changeRows(bool trayToo, const std::function<void(MapData&)>& change) {
    if (!trayToo) {
        canvas_->changeData(change);
        return;
    }
    unplaced_->setPhotos(nullptr);
    canvas_->changeData(change);
    showTray();
    selectInTray(canvas_->currentRow());
}

void MapWidget::showTray() {
    const std::vector<MapMark>& unplaced = canvas_->data().unplaced;
    unplaced_->setPhotos(&unplaced);
    trayTitle_->setText(tr("Фото без координат: %1").arg(unplaced.size()));
    trayTitle_->setVisible(!unplaced.empty());
    tray_->setVisible(!unplaced.empty());
    // As tall as its names, up to a few lines; the map keeps the rest.
    const int lines = static_cast<int>(std::min<std::size_t>(unplaced.size(), kTrayLines));
    tray_->setFixedHeight(lines * tray_->fontMetrics().height() + 2 * tray_->frameWidth() + 4);
    // Give the map its new size now, so the first paint fits the data to it.
    layout()->activate();
}

void MapWidget::setCurrentRow(std::optional<std::size_t> row) {
    canvas_->setCurrentRow(row);
    selectInTray(row);
}

void MapWidget::selectInTray(std::optional<std::size_t> row) {
    const auto index = row ? canvas_->data().unplacedIndexOf(*row) : std::nullopt;
    if (index) {
        const QModelIndex item = unplaced_->index(static_cast<int>(*index));
        tray_->setCurrentIndex(item);
        tray_->scrollTo(item);
    } else {
        tray_->clearSelection();
        tray_->setCurrentIndex({});
    }
}

void MapWidget::setTileTemplate(const QString& urlTemplate) {
    canvas_->setTileSource(TileSource(urlTemplate.toStdString()));
}

void MapWidget::fitAll() { canvas_->fitAll(); }

void MapWidget::setPlacing(bool enabled) {
    canvas_->setPlacing(enabled);
    tray_->setDragEnabled(enabled);
}

void MapWidget::trayPicked(const QModelIndex& index) {
    if (!index.isValid()) return;
    const std::size_t row = unplaced_->rowOf(index.row());
    canvas_->setCurrentRow(row);
    emit rowActivated(row);
}

}  // namespace geovanta

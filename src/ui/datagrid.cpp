#include "ui/datagrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <algorithm>

#include "ui/datatablemodel.h"
#include "ui/map/photodrag.h"

namespace geovanta {

DataGrid::DataGrid(QWidget* parent) : QTableView(parent) {
    setObjectName("DataGrid");
    setSelectionBehavior(QAbstractItemView::SelectItems);
    // Several photo rows can be picked and dragged onto the map together.
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    // A double click opens the photograph, so only F2 and typing start an editor.
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    setAlternatingRowColors(false);
    // Every row has the same height: the view never measures a million rows.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
}

void DataGrid::fitColumns() {
    constexpr int kCellMargin = 12;
    const QFontMetrics cells(font());
    const QFontMetrics titles(horizontalHeader()->font());
    for (int c = 0; c < DataTableModel::kColumnCount; ++c) {
        const auto& column = DataTableModel::columns()[static_cast<std::size_t>(c)];
        int width = column.width ? column.width : horizontalHeader()->defaultSectionSize();
        width = std::max(width, cells.horizontalAdvance(DataTableModel::tr(column.widest)) + kCellMargin);
        width = std::max(width, titles.horizontalAdvance(DataTableModel::tr(column.title)) + 2 * kCellMargin);
        setColumnWidth(c, width);
    }
}

void DataGrid::setEmptyHint(const QString& text) {
    emptyHint_ = text;
    viewport()->update();
}

void DataGrid::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    if (emptyHint_.isEmpty() || !model() || model()->rowCount() > 0) return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    const int margin = fontMetrics().height();
    painter.drawText(viewport()->rect().adjusted(margin, margin, -margin, -margin),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, emptyHint_);
}

void DataGrid::startDrag(Qt::DropActions) {
    QMimeData* mime = model()->mimeData(selectedIndexes());
    QStringList names;
    for (std::size_t row : photoRowsOf(mime)) names << model()->index(static_cast<int>(row), 1).data().toString();
    if (names.isEmpty()) {
        delete mime;
        return;
    }
    dragPhotos(this, mime, names);
}

void DataGrid::keyPressEvent(QKeyEvent* event) {
    const auto mods = event->modifiers() & ~Qt::KeypadModifier;
    const int rows = model() ? model()->rowCount() : 0;
    switch (event->key()) {
        case Qt::Key_Insert:
            if (mods == Qt::NoModifier) {
                emit insertRequested();
                return;
            }
            break;
        case Qt::Key_Down:
            if (mods == Qt::NoModifier && rows > 0 && currentIndex().row() == rows - 1) {
                emit appendRequested();
                return;
            }
            break;
        case Qt::Key_Delete:
            if (mods == Qt::ControlModifier) {
                emit deleteRequested();
                return;
            }
            break;
        case Qt::Key_Escape:
            if (mods == Qt::NoModifier) {
                emit cancelRequested();
                return;
            }
            break;
        default: break;
    }
    QTableView::keyPressEvent(event);
}

}  // namespace geovanta

#include "ui/datagrid.h"

#include <QApplication>
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
    // A double click opens the photograph and typing finds a row, so only F2
    // starts an editor.
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    setTabKeyNavigation(false);
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
    // The drag carries the table's rows, which need not be the grid's: the
    // names come from the grid's own rows that can be dragged.
    QList<int> rows;
    for (const QModelIndex& index : selectedIndexes())
        if (index.flags() & Qt::ItemIsDragEnabled) rows << index.row();
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QStringList names;
    for (int row : rows) names << model()->index(row, nameColumn()).data().toString();
    if (names.isEmpty()) return;
    dragPhotos(this, model()->mimeData(selectedIndexes()), names);
}

int DataGrid::nameColumn() {
    const auto& columns = DataTableModel::columns();
    for (std::size_t c = 0; c < columns.size(); ++c)
        if (columns[c].field == FieldId::Name) return static_cast<int>(c);
    return 0;
}

void DataGrid::keyboardSearch(const QString& text) {
    const int rows = model() ? model()->rowCount() : 0;
    if (rows == 0 || text.isEmpty()) return;
    const bool fresh = !typing_.isValid() || typing_.elapsed() > QApplication::keyboardInputInterval();
    typing_.start();
    typed_ = fresh ? text : typed_ + text;
    const int current = currentIndex().isValid() ? currentIndex().row() : rows - 1;
    // The same letter again goes on to the next name that starts with it;
    // more letters of a name look again from the row already found.
    QString sought = typed_;
    const bool repeated = sought.size() > 1 && sought.count(sought.front()) == sought.size();
    if (repeated) sought = sought.left(1);
    const int from = fresh || repeated || !currentIndex().isValid() ? (current + 1) % rows : current;
    const QModelIndexList found = model()->match(model()->index(from, nameColumn()), Qt::DisplayRole, sought, 1,
                                                 Qt::MatchStartsWith | Qt::MatchWrap);
    if (found.isEmpty()) return;
    const int column = currentIndex().isValid() ? currentIndex().column() : nameColumn();
    setCurrentIndex(model()->index(found.front().row(), column));
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

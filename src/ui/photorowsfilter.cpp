#include "ui/photorowsfilter.h"

#include "table/datatable.h"
#include "ui/datatablemodel.h"

namespace geovanta {

PhotoRowsFilter::PhotoRowsFilter(const DataTable& table, DataTableModel* rows, QObject* parent)
    : QSortFilterProxyModel(parent), table_(table) {
    setObjectName("GridRows");
    // A row is told again when it changes: a new row gets its kind after it
    // came in. The grid edits no kind, so no row vanishes under its editor.
    setDynamicSortFilter(true);
    setSourceModel(rows);
}

void PhotoRowsFilter::setPhotosOnly(bool on) {
    if (on == photosOnly_) return;
    photosOnly_ = on;
    invalidateFilter();
}

bool PhotoRowsFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    if (!photosOnly_) return true;
    // While the table's display is suspended the model may still count rows
    // the table no longer has.
    const auto row = static_cast<std::size_t>(sourceRow);
    return row < table_.rowCount() && table_.isPhoto(row);
}

std::optional<std::size_t> PhotoRowsFilter::tableRow(int gridRow) const {
    const QModelIndex source = mapToSource(index(gridRow, 0));
    if (!source.isValid()) return std::nullopt;
    return static_cast<std::size_t>(source.row());
}

std::optional<int> PhotoRowsFilter::gridRow(std::size_t tableRow) const {
    if (tableRow >= static_cast<std::size_t>(sourceModel()->rowCount())) return std::nullopt;
    const QModelIndex shown = mapFromSource(sourceModel()->index(static_cast<int>(tableRow), 0));
    if (!shown.isValid()) return std::nullopt;
    return shown.row();
}

std::optional<int> PhotoRowsFilter::nearestGridRow(std::size_t row) const {
    if (const auto shown = gridRow(row)) return shown;
    const int rows = rowCount();
    if (rows == 0) return std::nullopt;
    // The grid keeps the table's order, so the first grid row at or after
    // the table row is found by halving.
    int low = 0, high = rows;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (tableRow(mid).value_or(0) < row)
            low = mid + 1;
        else
            high = mid;
    }
    return low < rows ? low : rows - 1;
}

}  // namespace geovanta

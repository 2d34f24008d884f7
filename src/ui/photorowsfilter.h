#pragma once
// The grid's rows: every row of the table, or with "Только фото" the
// photographs alone, so that a few hundred photographs are not lost among
// thousands of track points. The rows keep the table's order; the grid's
// row numbers are then not the table's, and everything that passes a row
// between the grid and the table, the map or a drag maps it here.

#include <QSortFilterProxyModel>
#include <cstddef>
#include <optional>

namespace geovanta {

class DataTable;
class DataTableModel;

class PhotoRowsFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    PhotoRowsFilter(const DataTable& table, DataTableModel* rows, QObject* parent = nullptr);

    void setPhotosOnly(bool on);
    bool photosOnly() const { return photosOnly_; }

    // The table's row of a grid row, and the grid row that shows a table row
    // (nothing when it is hidden).
    std::optional<std::size_t> tableRow(int gridRow) const;
    std::optional<int> gridRow(std::size_t tableRow) const;
    // The grid row nearest a table row that may be hidden: the first shown
    // at or after it, else the last shown before it; nothing in an empty grid.
    std::optional<int> nearestGridRow(std::size_t row) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    const DataTable& table_;
    bool photosOnly_ = false;
};

}  // namespace geovanta

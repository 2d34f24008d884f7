#pragma once
// The map panel beside the grid: the map itself, and under it a tray listing
// the photographs that have no position and so no place on the map. Knows
// the table only through snapshots; the main window hands it a new one after
// every binding pass, passes on each change of single rows in between, and
// keeps the current row in step both ways.

#include <QWidget>
#include <cstddef>
#include <functional>
#include <optional>

#include "map/mapdata.h"

class QLabel;
class QListView;
class QModelIndex;
class QToolButton;

namespace geovanta {

class DataTable;
class MapCanvas;
class UnplacedModel;

class MapWidget : public QWidget {
    Q_OBJECT
public:
    explicit MapWidget(QWidget* parent = nullptr);

    void setData(MapData data);
    void rebuild(const DataTable& table) { setData(MapData::fromTable(table)); }
    // Rows `first` to `last` of the table changed, came in, or went: the map
    // follows them alone, at a cost that does not grow with the table.
    void updateRows(const DataTable& table, std::size_t first, std::size_t last);
    void insertRows(const DataTable& table, std::size_t first, std::size_t last);
    void removeRows(std::size_t first, std::size_t last);
    // Highlights the row on the map, or in the tray when it is an unplaced photograph.
    void setCurrentRow(std::optional<std::size_t> row);
    // An XYZ tile server's URL template; empty (or not http/https) for no tiles.
    void setTileTemplate(const QString& urlTemplate);
    void fitAll();

    MapCanvas* canvas() const { return canvas_; }
    QListView* tray() const { return tray_; }
    QToolButton* fitButton() const;

signals:
    // The user picked a row on the map or in the tray.
    void rowActivated(std::size_t row);

private:
    void trayPicked(const QModelIndex& index);
    void showTray();
    void selectInTray(std::optional<std::size_t> row);
    bool inTray(std::size_t first, std::size_t last) const;
    // `trayToo`: the change adds, alters or removes an unplaced photograph.
    void changeRows(bool trayToo, const std::function<void(MapData&)>& change);

    MapCanvas* canvas_ = nullptr;
    QLabel* trayTitle_ = nullptr;
    QListView* tray_ = nullptr;
    UnplacedModel* unplaced_ = nullptr;
};

}  // namespace geovanta

#pragma once
// The photographs without a position, as a list for the map panel's tray.
// Reads the map's snapshot directly, so a hundred thousand names cost nothing
// to show.

#include <QAbstractListModel>
#include <vector>

#include "map/mapdata.h"

namespace geovanta {

class UnplacedModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // The list must stay alive until the next call, and its length and names
    // unchanged; the rows its entries name may move with the table's.
    void setPhotos(const std::vector<MapMark>* photos);
    std::size_t rowOf(int index) const { return (*photos_)[static_cast<std::size_t>(index)].row; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    const std::vector<MapMark>* photos_ = nullptr;
};

}  // namespace geovanta

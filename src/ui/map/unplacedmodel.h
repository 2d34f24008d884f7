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

    // The list must stay alive and unchanged until the next call.
    void setPhotos(const std::vector<MapMark>* photos);
    std::size_t rowOf(int index) const { return (*photos_)[static_cast<std::size_t>(index)].row; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    const std::vector<MapMark>* photos_ = nullptr;
};

}  // namespace geovanta

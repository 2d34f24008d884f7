#include "ui/map/unplacedmodel.h"

#include "ui/map/maprenderer.h"

namespace geovanta {

void UnplacedModel::setPhotos(const std::vector<MapMark>* photos) {
    beginResetModel();
    photos_ = photos;
    endResetModel();
}

int UnplacedModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !photos_) return 0;
    return static_cast<int>(photos_->size());
}

QVariant UnplacedModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role == Qt::DisplayRole) return QString::fromStdString((*photos_)[static_cast<std::size_t>(index.row())].name);
    if (role == Qt::ForegroundRole) return MapRenderer::unplacedColor();
    return {};
}

}  // namespace geovanta

#include "ui/map/unplacedmodel.h"

#include <algorithm>

#include "ui/map/maprenderer.h"
#include "ui/map/photodrag.h"

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

Qt::ItemFlags UnplacedModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || index.row() >= rowCount()) return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren | Qt::ItemIsDragEnabled;
}

QStringList UnplacedModel::mimeTypes() const { return {kPhotoRowsMime}; }

QMimeData* UnplacedModel::mimeData(const QModelIndexList& indexes) const {
    std::vector<std::size_t> rows;
    for (const QModelIndex& index : indexes)
        if (index.isValid() && index.row() < rowCount()) rows.push_back(rowOf(index.row()));
    std::sort(rows.begin(), rows.end());
    return photoRowsMime(rows);
}

}  // namespace geovanta

#pragma once
// What a drag of photographs carries from the grid, the tray or a mark on
// the map to the map: their table rows, marked with this process, so that a
// drag from another running copy of the program is refused. The rows are
// checked against the table where they are used.

#include <QString>
#include <QStringList>
#include <cstddef>
#include <vector>

class QMimeData;
class QWidget;

namespace geovanta {

inline const QString kPhotoRowsMime = QStringLiteral("application/x-geovanta-photo-rows");

QMimeData* photoRowsMime(const std::vector<std::size_t>& rows);
// The rows a drag carries; empty for anything else.
std::vector<std::size_t> photoRowsOf(const QMimeData* mime);

// Drags `mime` (taken over) from `source`, showing the photographs' names
// beside the mouse rather than under it, where the map shows where they
// will land.
void dragPhotos(QWidget* source, QMimeData* mime, const QStringList& names);

}  // namespace geovanta

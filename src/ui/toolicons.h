#pragma once
// The program's own pictures, drawn rather than shipped as image files.

#include <QIcon>
#include <QPixmap>

namespace geovanta {

enum class ToolIcon { LoadTrack, LoadPhotos, SendTrack, SendPhotos, TimeOffsets, WriteTags };

QIcon toolIcon(ToolIcon kind);
// The program's icon, as the desktop shows it.
QIcon programIcon();
// The icon centred in a picture of the given size, for the About box.
QPixmap programPicture(int width, int height);
// The pin over a track that stands in when the icon was not built in.
QPixmap drawnProgramPicture(int width, int height);

}  // namespace geovanta

#pragma once
// The program's own pictures, drawn rather than shipped as image files.

#include <QIcon>
#include <QPixmap>

namespace geovanta {

enum class ToolIcon { LoadTrack, LoadPhotos, SendTrack, SendPhotos, TimeOffsets, WriteTags };

QIcon toolIcon(ToolIcon kind);
// The program's picture: a pin over a track.
QPixmap programPicture(int width, int height);

}  // namespace geovanta

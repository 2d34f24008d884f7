#include "input/exifread.h"

#include <cerrno>

#include "table/messages.h"

namespace geovanta {

std::string readBeyondEndMessage() { return textOf(Msg::ReadBeyondEndOfFile); }

std::string fileLayerMessage(int code) {
    if (code == EACCES || code == EPERM) return textOf(Msg::FileAccessDenied);
    if (code == ENOENT) return textOf(Msg::FileNotFound);
    return textOf(Msg::IoError, {code});
}

void readExact(PositionedFile& file, uint64_t pos, void* buffer, std::size_t count) {
    if (!fitsIn(file, pos, count)) throw ExifError(readBeyondEndMessage());
    if (readUpTo(file, pos, buffer, count) < count) throw ExifError(readBeyondEndMessage());
}

std::size_t readUpTo(PositionedFile& file, uint64_t pos, void* buffer, std::size_t count) {
    const long long got = file.readAt(pos, buffer, count);
    if (got < 0) throw ExifError(fileLayerMessage(file.lastError()));
    return static_cast<std::size_t>(got);
}

}  // namespace geovanta

#include "input/gpsfile.h"

#include "input/wholefile.h"

namespace geovanta {

LoadResult readGpsFile(const FileFormat& format, GpsRead& read) {
    if (!format.read) return LoadResult::rejected(textOf(Msg::UnknownFileKind, {read.path}));
    FileBytes bytes;
    if (auto error = readWholeFile(read.path, bytes)) return LoadResult::failed(*error);
    read.spent = &bytes;
    LoadResult result = format.read(bytes, read);
    read.spent = nullptr;
    return result;
}

}  // namespace geovanta

#include "input/gpsfile.h"

#include "input/gzipfile.h"
#include "input/wholefile.h"

namespace geovanta {
namespace {

// A gzip stream, whatever the file's name says: "walk.gpx.gz", or a file
// that was compressed and kept its name.
LoadResult readCompressed(const FileFormat& format, GpsRead& read, FileBytes& compressed) {
    FileBytes bytes;
    const GzipResult inflated = inflateGzip(compressed, read.path, bytes, kMaxWholeFileBytes, &compressed);
    compressed = FileBytes();
    switch (inflated.status) {
        case GzipResult::Status::NotGzip: return LoadResult::rejected(inflated.message);
        case GzipResult::Status::Failed: return LoadResult::failed(inflated.message);
        case GzipResult::Status::Whole:
        case GzipResult::Status::Damaged: break;
    }
    read.spent = &bytes;
    LoadResult result = format.read(bytes, read);
    read.spent = nullptr;
    // Damage in the stream ends the file where it began: the points before
    // it are kept, and the damage is said as any other fault of the file.
    if (inflated.status == GzipResult::Status::Damaged && result.status == LoadResult::Status::Loaded) {
        const std::size_t altitudes = result.altitudesOutOfRange;
        result = LoadResult::failed(inflated.message);
        result.altitudesOutOfRange = altitudes;
    }
    return result;
}

}  // namespace

LoadResult readGpsFile(const FileFormat& format, GpsRead& read) {
    if (!format.read) return LoadResult::rejected(textOf(Msg::UnknownFileKind, {read.path}));
    const bool named = matchName(read.path).compressed;
    if (format.readFile && !named) return format.readFile(read);
    FileBytes bytes;
    if (auto error = readWholeFile(read.path, bytes)) return LoadResult::failed(*error);
    if (named || looksLikeGzip(bytes)) return readCompressed(format, read, bytes);
    read.spent = &bytes;
    LoadResult result = format.read(bytes, read);
    read.spent = nullptr;
    return result;
}

}  // namespace geovanta

#include "input/gpsfile.h"

#include "input/gzipfile.h"
#include "input/wholefile.h"
#include "table/messages.h"
#include "table/textcodec.h"

namespace geovanta {
namespace {

// A gzip stream, whatever the file's name says: "walk.gpx.gz", or a file
// that was compressed and kept its name.
LoadResult readCompressed(const FileFormat& format, GpsRead& read, FileBytes& compressed) {
    FileBytes bytes;
    GzipResult inflated = inflateGzip(compressed, read.path, bytes, kMaxWholeFileBytes, &compressed);
    // The stream ends where the file was cut, as it would at damage.
    if (compressed.cutShort() && inflated.status != GzipResult::Status::Failed) {
        if (bytes.view().empty()) return checkedForCut(LoadResult::loaded(), compressed, read.path);
        inflated = {GzipResult::Status::Damaged, textOf(Msg::FileCutWhileRead, {displayFileName(read.path)})};
    }
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
    // A folder of photographs is read by its own reader, whatever its name.
    if (format.photoFolder) return format.readFile(read);
    if (!format.read) return LoadResult::rejected(textOf(Msg::UnknownFileKind, {read.path}));
    const bool named = matchName(read.path).compressed;
    if (format.readFile && !named) return format.readFile(read);
    FileBytes bytes;
    if (auto error = readWholeFile(read.path, bytes)) return LoadResult::failed(*error);
    if (named || looksLikeGzip(bytes)) return readCompressed(format, read, bytes);
    read.spent = &bytes;
    LoadResult result = format.read(bytes, read);
    read.spent = nullptr;
    return checkedForCut(std::move(result), bytes, read.path);
}

}  // namespace geovanta

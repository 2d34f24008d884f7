#pragma once
// Reader of GPS exchange files (.GPX, versions 1.0 and 1.1): every track and
// every route becomes the next track, its points rows of kind "T" named as
// track file points are (numbered across the track's segments); every
// waypoint becomes a row of kind "P" under its own name.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "input/gpsread.h"
#include "input/loadresult.h"
#include "table/progress.h"

namespace geovanta {

class DataTable;
class FileBytes;

// What a load read, for the caller to report.
struct GpxLoadStats {
    std::size_t points = 0;           // rows appended
    std::size_t pointsWithoutTime = 0;  // points skipped: a row needs a time
    std::size_t altitudesOutOfRange = 0;  // points kept without their absurd altitude
};

class GpxReader {
public:
    GpxReader(DataTable& table, uint16_t& trackCounter) : table_(table), trackCounter_(trackCounter) {}

    // Appends the file's points. A file whose first element is not <gpx>, or
    // that has no element, is rejected untouched. A fault (XML that is not
    // well-formed, a bad coordinate, elevation or time) keeps the points that
    // ended before it and reports the file, line and reason.
    // Times are converted to UTC; elevations from metres to feet.
    LoadResult load(const std::string& path);
    // The same for the file's bytes already in memory; `path` names the file
    // in messages.
    LoadResult loadBytes(std::string_view bytes, const std::string& path);
    // The same, handing back to `spent` (when given) the bytes it has passed.
    LoadResult loadBytes(std::string_view bytes, const std::string& path, FileBytes* spent);
    // Bytes read so far go into `progress`; when it asks to stop, the read
    // ends between two points and the load is cancelled.
    void setProgress(Progress* progress) { progress_ = progress; }

    const GpxLoadStats& stats() const { return stats_; }

    // Size of the pieces the file is parsed in; tests make it small so that
    // small files are cut too.
    void setPieceBytes(std::size_t bytes) { pieceBytes_ = bytes; }

private:
    DataTable& table_;
    uint16_t& trackCounter_;
    Progress* progress_ = nullptr;
    GpxLoadStats stats_;
    std::size_t pieceBytes_ = 0;  // 0: the parser's own default
};

// The reader as the list of formats calls it.
LoadResult readGpx(std::string_view bytes, GpsRead& read);

}  // namespace geovanta

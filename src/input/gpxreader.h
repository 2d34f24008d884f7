#pragma once
// Reader of GPS exchange files (.GPX, versions 1.0 and 1.1): every track and
// every route becomes the next track, its points rows of kind "T" named as
// track file points are (numbered across the track's segments); every
// waypoint becomes a row of kind "P" under its own name. Then the binding
// pass.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "binding/calcpositions.h"
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
    GpxReader(DataTable& table, uint16_t& trackCounter, const BindingParams& params)
        : table_(table), trackCounter_(trackCounter), params_(params) {}

    // Appends the file's points and runs the binding pass. A file whose
    // first element is not <gpx>, or that has no element, is rejected untouched. A fault (XML that is
    // not well-formed, a bad coordinate, elevation or time) keeps the points
    // that ended before it, binds them and reports the file, line and reason.
    // Times are converted to UTC; elevations from metres to feet.
    LoadResult load(const std::string& path);
    // The same for the file's bytes already in memory; `path` names the file
    // in messages.
    LoadResult loadBytes(std::string_view bytes, const std::string& path);
    // Bytes read so far go into `progress`; when it asks to stop, the read
    // ends between two points and the load is cancelled.
    void setProgress(Progress* progress) { progress_ = progress; }

    const GpxLoadStats& stats() const { return stats_; }

    // Size of the pieces the file is parsed in; tests make it small so that
    // small files are cut too.
    void setPieceBytes(std::size_t bytes) { pieceBytes_ = bytes; }

private:
    // loadBytes, handing back to `spent` (when given) the bytes it has passed.
    LoadResult read(std::string_view bytes, const std::string& path, FileBytes* spent);

    DataTable& table_;
    uint16_t& trackCounter_;
    BindingParams params_;
    Progress* progress_ = nullptr;
    GpxLoadStats stats_;
    std::size_t pieceBytes_ = 0;  // 0: the parser's own default
};

}  // namespace geovanta

#pragma once
// Reader of OziExplorer track files (.PLT): one row of kind "T" per data line,
// named after the track and point number.

#include <cstdint>
#include <string>
#include <string_view>

#include "input/gpsread.h"
#include "input/loadresult.h"
#include "table/progress.h"

namespace geovanta {

class DataTable;
class FileBytes;

class TrackReader {
public:
    static constexpr const char* kHeader = "OziExplorer Track Point File";
    static constexpr const char* kDatum = "WGS 84";

    // `trackCounter` numbers the tracks of the session: it goes up by one for
    // every file that passes the header tests.
    TrackReader(DataTable& table, uint16_t& trackCounter) : table_(table), trackCounter_(trackCounter) {}

    // Appends the file's points. A file that fails a header test is rejected
    // untouched; a file passing both counts as the next track even when it
    // holds no point. An error in a data line keeps the points before it and
    // reports the file and line.
    LoadResult load(const std::string& path);
    // The same for the file's bytes already in memory; `path` names the file
    // in messages.
    LoadResult loadBytes(std::string_view bytes, const std::string& path);
    // The same, handing back to `spent` (when given) the bytes it has passed.
    LoadResult loadBytes(std::string_view bytes, const std::string& path, FileBytes* spent);
    // Bytes read so far go into `progress`; when it asks to stop, the read
    // ends at a line end and the load is cancelled.
    void setProgress(Progress* progress) { progress_ = progress; }

    // "T" + track number (2 digits at least) + "-" + point number (4 at least;
    // more once a track passes 9999 points).
    static std::string pointName(uint16_t track, uint32_t point);

private:
    DataTable& table_;
    uint16_t& trackCounter_;
    Progress* progress_ = nullptr;
};

// The reader as the list of formats calls it.
LoadResult readPlt(std::string_view bytes, GpsRead& read);

}  // namespace geovanta

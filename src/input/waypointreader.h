#pragma once
// Reader of OziExplorer waypoint files (.WPT): one row of kind "P" per data
// line under the waypoint's own name. The track counter is neither used nor
// changed.

#include <string>
#include <string_view>

#include "input/gpsread.h"
#include "input/loadresult.h"
#include "table/progress.h"

namespace geovanta {

class DataTable;

class WaypointReader {
public:
    static constexpr const char* kHeader = "OziExplorer Waypoint File";
    static constexpr const char* kDatum = "WGS 84";

    explicit WaypointReader(DataTable& table) : table_(table) {}

    // Appends the file's waypoints. A file of fewer than five lines or with a
    // wrong header or datum is rejected untouched. An error in a data line
    // keeps the waypoints before it and reports the file and line.
    LoadResult load(const std::string& path);
    // The same for the file's bytes already in memory; `path` names the file
    // in messages.
    LoadResult loadBytes(std::string_view bytes, const std::string& path);
    // Bytes read so far go into `progress`; when it asks to stop, the read
    // ends between two points and the load is cancelled.
    void setProgress(Progress* progress) { progress_ = progress; }

private:
    DataTable& table_;
    Progress* progress_ = nullptr;
};

// The reader as the list of formats calls it.
LoadResult readWpt(std::string_view bytes, GpsRead& read);

}  // namespace geovanta

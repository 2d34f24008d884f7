#pragma once
// Reader of OziExplorer waypoint files (.WPT): one row of kind "P" per data
// line under the waypoint's own name, then the binding pass. The track
// counter is neither used nor changed.

#include <string>
#include <string_view>

#include "binding/calcpositions.h"
#include "input/loadresult.h"

namespace geovanta {

class DataTable;

class WaypointReader {
public:
    static constexpr const char* kHeader = "OziExplorer Waypoint File";
    static constexpr const char* kDatum = "WGS 84";
    static constexpr const char* kNotWaypointsMessage = "Файл не совместим с указанным форматом";

    WaypointReader(DataTable& table, const BindingParams& params) : table_(table), params_(params) {}

    // Appends the file's waypoints and runs the binding pass. A file of fewer
    // than five lines or with a wrong header or datum is rejected untouched.
    // An error in a data line keeps the waypoints before it, binds them and
    // reports the file and line.
    LoadResult load(const std::string& path);
    // The same for the file's bytes already in memory; `path` names the file
    // in messages.
    LoadResult loadBytes(std::string_view bytes, const std::string& path);

private:
    DataTable& table_;
    BindingParams params_;
};

}  // namespace geovanta

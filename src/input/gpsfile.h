#pragma once
// The three kinds of GPS file and the one place that says which reader takes
// which: the open dialog's filter, files named on the command line and the
// command-line tool all go through here.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "binding/calcpositions.h"
#include "input/loadresult.h"
#include "table/progress.h"

namespace geovanta {

class DataTable;

enum class GpsFileKind { Track, Waypoints, Gpx };

// The kind a file's extension (.plt, .wpt, .gpx in any case) names, if any.
std::optional<GpsFileKind> gpsFileKindOf(std::string_view path);

// What a read found besides its rows, for the caller to report.
struct GpsReadStats {
    std::size_t pointsWithoutTime = 0;  // GPX points left out: a row needs a time
};

// Reads `path` as a file of `kind`: appends its rows and runs the binding
// pass, as each reader does. `trackCounter` numbers the tracks read.
LoadResult readGpsFile(DataTable& table, GpsFileKind kind, const std::string& path, uint16_t& trackCounter,
                       const BindingParams& params, GpsReadStats& stats, Progress* progress = nullptr);

}  // namespace geovanta

#include "input/gpsfile.h"

#include "input/gpxreader.h"
#include "input/trackreader.h"
#include "input/waypointreader.h"
#include "table/asciicase.h"

namespace geovanta {

std::optional<GpsFileKind> gpsFileKindOf(std::string_view path) {
    const std::size_t dot = path.rfind('.');
#ifdef _WIN32
    const std::size_t slash = path.find_last_of("/\\:");
#else
    const std::size_t slash = path.rfind('/');
#endif
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return std::nullopt;
    const std::string ext = asciiLower(path.substr(dot));
    if (ext == ".plt") return GpsFileKind::Track;
    if (ext == ".wpt") return GpsFileKind::Waypoints;
    if (ext == ".gpx") return GpsFileKind::Gpx;
    return std::nullopt;
}

LoadResult readGpsFile(DataTable& table, GpsFileKind kind, const std::string& path, uint16_t& trackCounter,
                       const BindingParams& params, GpsReadStats& stats, Progress* progress) {
    stats = {};
    switch (kind) {
        case GpsFileKind::Waypoints: {
            WaypointReader reader(table, params);
            reader.setProgress(progress);
            return reader.load(path);
        }
        case GpsFileKind::Gpx: {
            GpxReader reader(table, trackCounter, params);
            reader.setProgress(progress);
            LoadResult result = reader.load(path);
            stats.pointsWithoutTime = reader.stats().pointsWithoutTime;
            return result;
        }
        case GpsFileKind::Track: break;
    }
    TrackReader reader(table, trackCounter, params);
    reader.setProgress(progress);
    return reader.load(path);
}

}  // namespace geovanta

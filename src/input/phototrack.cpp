#include "input/phototrack.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "binding/calcpositions.h"
#include "input/photoscanner.h"
#include "input/pointfields.h"
#include "input/trackreader.h"
#include "table/datatable.h"
#include "table/datetime.h"
#include "table/messages.h"
#include "table/photofacts.h"

namespace geovanta {
namespace {

// Unreadable photographs named one a line: a folder of thousands of damaged
// files must still fit in a message box.
constexpr std::size_t kNamedUnread = 20;

struct Fix {
    int64_t timeMs;
    PhotoGps gps;
};

// The photographs' positions in the order they were taken: their names count
// along the walk, as a logger's points do.
std::vector<Fix> fixesOf(const DataTable& photos, const GpsReadOptions& options, GpsReadStats& stats) {
    const int64_t shift = daysToMs(options.photoOffsetDays);
    std::vector<Fix> fixes;
    for (std::size_t row = 0; row < photos.rowCount(); ++row) {
        if (!photos.isPhoto(row)) continue;
        const PhotoGps* gps = photos.photoGps(row);
        if (!gps) {
            ++stats.withoutPosition;
            continue;
        }
        const int64_t time = gps->utcMs ? *gps->utcMs : photoTimeBeforeOffset(photos, row, options.photoZones) + shift;
        fixes.push_back({time, *gps});
    }
    std::stable_sort(fixes.begin(), fixes.end(), [](const Fix& a, const Fix& b) { return a.timeMs < b.timeMs; });
    return fixes;
}

void noteUnread(const std::vector<LeftOutFile>& leftOut, GpsReadStats& stats) {
    for (std::size_t k = 0; k < leftOut.size() && k < kNamedUnread; ++k) stats.warnings.push_back(leftOut[k].line());
    if (leftOut.size() > kNamedUnread) stats.warnings.push_back(textOf(Msg::AndMore, {leftOut.size() - kNamedUnread}));
}

}  // namespace

LoadResult readPhotoTrack(GpsRead& read) {
    std::error_code ec;
    if (read.path.empty() || !std::filesystem::is_directory(read.path, ec))
        return LoadResult::failed(textOf(Msg::FolderNotFound, {read.path}));
    DataTable photos;
    const SubFolders inner = read.options.photoSubfolders ? SubFolders::Include : SubFolders::Skip;
    const PhotoScanResult scan = LoadFotos(photos, read.path, inner, nullptr, read.progress);
    if (scan.status == LoadResult::Status::Cancelled) return LoadResult::cancelled();
    noteUnread(scan.leftOut, read.stats);
    const std::vector<Fix> fixes = fixesOf(photos, read.options, read.stats);
    if (fixes.empty()) return LoadResult::loaded();
    const uint16_t track = ++read.trackCounter;
    reserveRows(read.rows, fixes.size());
    uint32_t n = 0;
    for (const Fix& fix : fixes) {
        PointFields point;
        point.timeMs = fix.timeMs;
        point.lat = fix.gps.lat;
        point.lon = fix.gps.lon;
        if (fix.gps.altitudeMetres) point.elev = feetFromMetres(*fix.gps.altitudeMetres);
        appendPointRow(read.rows, 'T', TrackReader::pointName(track, ++n), point);
    }
    return LoadResult::loaded();
}

const FileFormat& photoTrackFormat() {
    static const FileFormat format{
        .id = "phototrack",
        .kind = FormatKind::Track,
        .extensions = {},
        .sharedExtensions = {},
        .filterName = Msg::FormatPhotoTrack,
        .read = nullptr,
        .recognise = nullptr,
        .readFile = &readPhotoTrack,
        .photoFolder = true,
    };
    return format;
}

}  // namespace geovanta

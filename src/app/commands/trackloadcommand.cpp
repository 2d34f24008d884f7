#include "app/commands/trackloadcommand.h"

#include <new>

#include "app/commands/dialogs.h"
#include "app/programstate.h"
#include "app/settings.h"
#include "input/gpxreader.h"
#include "input/wholefile.h"
#include "input/trackreader.h"
#include "input/waypointreader.h"
#include "table/asciicase.h"
#include "table/datatable.h"

namespace geovanta {

std::string TrackLoadCommand::folderOf(const std::string& path) {
#ifdef _WIN32
    const std::size_t cut = path.find_last_of("/\\:");
#else
    const std::size_t cut = path.find_last_of('/');
#endif
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

int TrackLoadCommand::filterForExtension(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < folderOf(path).size()) return 0;
    const std::string ext = asciiLower(std::string_view(path).substr(dot));
    if (ext == ".plt") return kTrackFilter;
    if (ext == ".wpt") return kWaypointFilter;
    if (ext == ".gpx") return kGpxFilter;
    return 0;
}

void TrackLoadCommand::run() {
    const auto choice = dialogs_.openFile(state_.dataFolder, kFilters, filterIndex_, fileName_);
    if (!choice) return;
    filterIndex_ = choice->filterIndex;
    loadWith(choice->path, filterIndex_);
}

void TrackLoadCommand::load(const std::string& path) { loadWith(path, kAllGpsFilter); }

LoadResult TrackLoadCommand::read(DataTable& table, ProgramState& state, const std::string& path, int filterIndex,
                                  std::size_t& pointsWithoutTime) {
    pointsWithoutTime = 0;
    switch (filterIndex) {
        case kWaypointFilter: return WaypointReader(table, bindingParams(state)).load(path);
        case kGpxFilter: {
            GpxReader reader(table, state.trackCounter, bindingParams(state));
            LoadResult result = reader.load(path);
            pointsWithoutTime = reader.stats().pointsWithoutTime;
            return result;
        }
        default: return TrackReader(table, state.trackCounter, bindingParams(state)).load(path);
    }
}

void TrackLoadCommand::loadWith(const std::string& path, int filterIndex) {
    if (filterIndex == kAllGpsFilter) filterIndex = filterForExtension(path);
    if (filterIndex == 0) {
        dialogs_.showMessage(MessageKind::Error, kUnknownKindMessage + path);
        return;
    }
    fileName_ = path;
    // The next dialog starts here even when this file turns out to be unusable.
    state_.dataFolder = folderOf(path);

    table_.setAutoCalcFields(false);
    // The filter entry, not the extension, says what the file should be.
    LoadResult result;
    std::size_t pointsWithoutTime = 0;
    try {
        result = read(table_, state_, path, filterIndex, pointsWithoutTime);
    } catch (const std::bad_alloc&) {
        // The rows read so far stay; the table is whole.
        result = LoadResult::failed(outOfMemoryMessage(path));
    }
    // Points without a time cannot be placed in time; say how many were left out.
    if (result.status != LoadResult::Status::Rejected && pointsWithoutTime > 0)
        dialogs_.showMessage(MessageKind::Information,
                             kSkippedPointsMessage + std::to_string(pointsWithoutTime) + " (" + path + ")");
    if (result.status != LoadResult::Status::Rejected && result.altitudesOutOfRange > 0)
        dialogs_.showMessage(MessageKind::Information, kAltitudesOutOfRangeMessage +
                                                           std::to_string(result.altitudesOutOfRange) + " (" + path + ")");
    if (result.status == LoadResult::Status::Failed) {
        // An error ends the command: the table stays without automatic
        // recalculation and the folder is not saved.
        dialogs_.showMessage(MessageKind::Failure, failureText(result.message));
        return;
    }
    if (result.status == LoadResult::Status::Rejected) dialogs_.showMessage(MessageKind::Error, result.message);
    table_.setAutoCalcFields(true);
    if (const auto error = settings_.writeString(kDataPathKey, state_.dataFolder))
        dialogs_.showMessage(MessageKind::Failure, failureText(*error));
}

}  // namespace geovanta

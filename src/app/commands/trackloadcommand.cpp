#include "app/commands/trackloadcommand.h"

#include "app/commands/dialogs.h"
#include "app/programstate.h"
#include "app/settings.h"
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
    return 0;
}

void TrackLoadCommand::run() {
    const auto choice = dialogs_.openFile(state_.dataFolder, kFilters, filterIndex_, fileName_);
    if (!choice) return;
    filterIndex_ = choice->filterIndex;
    loadWith(choice->path, filterIndex_);
}

void TrackLoadCommand::load(const std::string& path) {
    const int filter = filterForExtension(path);
    if (filter == 0) {
        dialogs_.showMessage(MessageKind::Error, kUnknownKindMessage + path);
        return;
    }
    loadWith(path, filter);
}

void TrackLoadCommand::loadWith(const std::string& path, int filterIndex) {
    fileName_ = path;
    // The next dialog starts here even when this file turns out to be unusable.
    state_.dataFolder = folderOf(path);

    table_.setAutoCalcFields(false);
    // The filter entry, not the extension, says what the file should be.
    const LoadResult result = filterIndex == kWaypointFilter
                                  ? WaypointReader(table_, bindingParams(state_)).load(path)
                                  : TrackReader(table_, state_.trackCounter, bindingParams(state_)).load(path);
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

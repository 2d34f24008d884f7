#include "app/commands/trackloadcommand.h"

#include "app/commands/dialogs.h"
#include "app/programstate.h"
#include "app/settings.h"
#include "input/trackreader.h"
#include "input/waypointreader.h"
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

void TrackLoadCommand::run() {
    const auto choice = dialogs_.openFile(state_.dataFolder, kFilters, filterIndex_, fileName_);
    if (!choice) return;
    filterIndex_ = choice->filterIndex;
    fileName_ = choice->path;
    // The next dialog starts here even when this file turns out to be unusable.
    state_.dataFolder = folderOf(choice->path);

    table_.setAutoCalcFields(false);
    // The filter entry, not the extension, says what the file should be.
    const LoadResult result = filterIndex_ == kWaypointFilter ? WaypointReader(table_, bindingParams(state_)).load(choice->path)
                                                               : TrackReader(table_, state_.trackCounter, bindingParams(state_)).load(choice->path);
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

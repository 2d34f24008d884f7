#include "app/commands/trackloadcommand.h"

#include <memory>
#include <new>

#include "app/commands/dialogs.h"
#include "app/document.h"
#include "app/gpsfilejob.h"
#include "app/settings.h"
#include "input/wholefile.h"
#include "table/messages.h"

namespace geovanta {

std::string TrackLoadCommand::folderOf(const std::string& path) {
#ifdef _WIN32
    const std::size_t cut = path.find_last_of("/\\:");
#else
    const std::size_t cut = path.find_last_of('/');
#endif
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::optional<GpsFileKind> TrackLoadCommand::kindOfFilter(int filterIndex) {
    switch (filterIndex) {
        case 2: return GpsFileKind::Waypoints;
        case 3: return GpsFileKind::Gpx;
        case kAllGpsFilter: return std::nullopt;
        default: return GpsFileKind::Track;
    }
}

void TrackLoadCommand::run() {
    const auto choice = dialogs_.openFile(document_.state().dataFolder, textOf(Msg::GpsFileFilters), filterIndex_,
                                         fileName_);
    if (!choice) return;
    filterIndex_ = choice->filterIndex;
    // The filter entry, not the extension, says what the file should be.
    loadAs(choice->path, kindOfFilter(filterIndex_));
}

void TrackLoadCommand::load(const std::string& path) { loadAs(path, std::nullopt); }

void TrackLoadCommand::loadAs(const std::string& path, std::optional<GpsFileKind> kind) {
    if (!kind) kind = gpsFileKindOf(path);
    if (!kind) {
        dialogs_.showMessage(MessageKind::Error, textOf(Msg::UnknownFileKind, {path}));
        return;
    }
    fileName_ = path;
    // The next dialog starts here even when this file turns out to be unusable.
    document_.state().dataFolder = folderOf(path);

    Dialogs& dialogs = dialogs_;
    jobs_.submit(std::make_unique<GpsFileJob>(path, *kind, [&dialogs](Document& document,
                                                                      const GpsFileJob::Outcome& done) {
        const LoadResult& result = done.result;
        // Points without a time cannot be placed in time; say how many were left out.
        if (result.status != LoadResult::Status::Rejected && done.stats.pointsWithoutTime > 0)
            dialogs.showMessage(MessageKind::Information,
                                textOf(Msg::SkippedPoints, {done.stats.pointsWithoutTime, done.path}));
        if (result.status != LoadResult::Status::Rejected && result.altitudesOutOfRange > 0)
            dialogs.showMessage(MessageKind::Information,
                                textOf(Msg::AltitudesOutOfRange, {result.altitudesOutOfRange, done.path}));
        if (result.status == LoadResult::Status::Failed) {
            // An error ends the command: the folder is not saved.
            dialogs.showMessage(MessageKind::Failure, failureText(result.message));
            return;
        }
        if (result.status == LoadResult::Status::Rejected) dialogs.showMessage(MessageKind::Error, result.message);
        if (const auto error = document.settings().writeString(kDataPathKey, document.state().dataFolder))
            dialogs.showMessage(MessageKind::Failure, failureText(*error));
    }));
}

}  // namespace geovanta

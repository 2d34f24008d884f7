#include "app/commands/trackloadcommand.h"

#include <memory>
#include <new>

#include "app/commands/dialogs.h"
#include "app/document.h"
#include "app/gpsfilejob.h"
#include "app/settings.h"
#include "app/sourceidentity.h"
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

void TrackLoadCommand::run() {
    // The file offered must be one the entry shown can open: pressing Open
    // on what the dialog offers always works.
    if (!fileName_.empty()) filterIndex_ = filterIndexFor(fileName_);
    const auto choice = dialogs_.openFile(document_.state().dataFolder, gpsDialogFilters(), filterIndex_, fileName_);
    if (!choice) return;
    filterIndex_ = choice->filterIndex;
    // The filter entry, not the extension, says what the file should be.
    loadAs(choice->path, formatOfFilter(filterIndex_));
}

void TrackLoadCommand::load(const std::string& path) { loadAs(path, nullptr); }

void TrackLoadCommand::loadAs(const std::string& given, const FileFormat* format) {
    if (!format) format = gpsFormatOf(given);
    if (!format) {
        dialogs_.showMessage(MessageKind::Error, textOf(Msg::UnknownFileKind, {given}));
        return;
    }
    // A name relative to the working folder ("geovanta walk.plt") would give
    // the dialog and the settings no folder, or one that means nothing at
    // the next start.
    const std::string path = absolutePath(given);
    fileName_ = path;
    // The next dialog starts here even when this file turns out to be unusable.
    document_.state().dataFolder = folderOf(path);

    Dialogs& dialogs = dialogs_;
    jobs_.submit(std::make_unique<GpsFileJob>(path, *format, [&dialogs](Document& document,
                                                                      const GpsFileJob::Outcome& done) {
        const LoadResult& result = done.result;
        // Points that could not become rows, and why: one box for them all.
        const std::vector<std::string> notes = done.notes();
        if (!notes.empty()) {
            std::string text;
            for (const std::string& line : notes) text += (text.empty() ? "" : "\n") + line;
            dialogs.showMessage(MessageKind::Information, text);
        }
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

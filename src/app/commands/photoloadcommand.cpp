#include "app/commands/photoloadcommand.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "app/commands/dialogs.h"
#include "app/document.h"
#include "app/photofolderjob.h"
#include "app/settings.h"
#include "app/sourceidentity.h"
#include "input/photoscanner.h"
#include "table/messages.h"
#include "table/textcodec.h"

namespace geovanta {

void PhotoLoadCommand::run() {
    const ProgramState& state = document_.state();
    const auto typed = dialogs_.askPhotoFolder({state.photoFolder, state.photoSubfolders});
    if (typed) load(typed->folder, typed->withSubfolders);
}

void PhotoLoadCommand::load(const std::string& folder) { load(folder, document_.state().photoSubfolders); }

void PhotoLoadCommand::load(const std::string& typed, bool withSubfolders) {
    // A folder that does not exist would otherwise quietly rescan, and append
    // again, whatever folder was loaded before.
    std::error_code ec;
    if (typed.empty() || !std::filesystem::is_directory(typed, ec)) {
        dialogs_.showMessage(MessageKind::Error, textOf(Msg::FolderNotFound, {typed}));
        return;
    }
    // "trip" means the folder under the working folder of now: the settings
    // and the photographs' file names must not depend on where the next
    // start happens to be.
    const std::string folder = absolutePath(typed);
    document_.state().photoFolder = folder;
    document_.state().photoSubfolders = withSubfolders;
    auto error = document_.settings().writeString("FotoPath", folder);
    if (!error) error = document_.settings().writeInteger(SettingsFile::kRecursiveKey, withSubfolders ? 1 : 0);
    if (error) {
        dialogs_.showMessage(MessageKind::Failure, failureText(*error));
        return;
    }
    Dialogs& dialogs = dialogs_;
    jobs_.submit(std::make_unique<PhotoFolderJob>(folder, [&dialogs](Document&, const PhotoFolderJob::Outcome& done) {
        if (done.merge.gone > 0)
            dialogs.showMessage(MessageKind::Information,
                                textOf(Msg::PhotosGone, {done.merge.gone, displayFileName(done.folder)}));
        if (!done.scan.ok()) dialogs.showMessage(MessageKind::Failure, failureText(leftOutMessage(done.scan)));
    }));
}

std::string PhotoLoadCommand::leftOutMessage(const PhotoScanResult& result) {
    if (result.leftOut.empty()) return result.message;
    // A folder of thousands of damaged files must still fit on the screen.
    constexpr std::size_t kShown = 20;
    std::string text = textOf(Msg::SomeFilesUnread);
    for (std::size_t k = 0; k < result.leftOut.size() && k < kShown; ++k)
        text += "\n" + result.leftOut[k].line();
    if (result.leftOut.size() > kShown) text += "\n" + textOf(Msg::AndMore, {result.leftOut.size() - kShown});
    return text;
}

}  // namespace geovanta

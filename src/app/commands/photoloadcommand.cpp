#include "app/commands/photoloadcommand.h"

#include <filesystem>
#include <new>
#include <system_error>

#include "app/commands/dialogs.h"
#include "app/programstate.h"
#include "app/settings.h"
#include "input/photoscanner.h"
#include "input/wholefile.h"

namespace geovanta {

void PhotoLoadCommand::run() {
    const auto typed = dialogs_.askPhotoFolder({state_.photoFolder, state_.photoSubfolders});
    if (typed) load(typed->folder, typed->withSubfolders);
}

void PhotoLoadCommand::load(const std::string& folder) { load(folder, state_.photoSubfolders); }

void PhotoLoadCommand::load(const std::string& folder, bool withSubfolders) {
    // A folder that does not exist would otherwise quietly rescan, and append
    // again, whatever folder was loaded before.
    std::error_code ec;
    if (folder.empty() || !std::filesystem::is_directory(folder, ec)) {
        dialogs_.showMessage(MessageKind::Error, "Папка не найдена: " + folder);
        return;
    }
    state_.photoFolder = folder;
    state_.photoSubfolders = withSubfolders;
    auto error = settings_.writeString("FotoPath", state_.photoFolder);
    if (!error) error = settings_.writeInteger(SettingsFile::kRecursiveKey, withSubfolders ? 1 : 0);
    if (error) {
        dialogs_.showMessage(MessageKind::Failure, failureText(*error));
        return;
    }
    PhotoScanResult result;
    try {
        result = LoadFotos(table_, state_.photoFolder, bindingParams(state_),
                           state_.photoSubfolders ? SubFolders::Include : SubFolders::Skip);
    } catch (const std::bad_alloc&) {
        static_cast<LoadResult&>(result) = LoadResult::failed(outOfMemoryMessage(state_.photoFolder));
    }
    if (!result.ok()) dialogs_.showMessage(MessageKind::Failure, failureText(leftOutMessage(result)));
}

std::string PhotoLoadCommand::leftOutMessage(const PhotoScanResult& result) {
    if (result.leftOut.empty()) return result.message;
    // A folder of thousands of damaged files must still fit on the screen.
    constexpr std::size_t kShown = 20;
    std::string text = "Не все файлы удалось прочитать, остальные фотографии загружены:";
    for (std::size_t k = 0; k < result.leftOut.size() && k < kShown; ++k)
        text += "\n" + result.leftOut[k].line();
    if (result.leftOut.size() > kShown) text += "\n… и ещё " + std::to_string(result.leftOut.size() - kShown);
    return text;
}

}  // namespace geovanta

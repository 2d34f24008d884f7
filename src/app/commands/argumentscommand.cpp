#include "app/commands/argumentscommand.h"

#include <filesystem>
#include <system_error>

#include "app/commands/dialogs.h"
#include "app/commands/photoloadcommand.h"
#include "app/commands/trackloadcommand.h"
#include "table/messages.h"

namespace geovanta {

void ArgumentsCommand::load(const std::vector<std::string>& paths) {
    namespace fs = std::filesystem;
    for (const std::string& path : paths) {
        std::error_code ec;
        const fs::file_status status = fs::status(path, ec);
        if (fs::is_directory(status))
            photos_.load(path);
        else if (fs::exists(status))
            tracks_.load(path);
        else
            dialogs_.showMessage(MessageKind::Error, textOf(Msg::FileOrFolderNotFound, {path}));
    }
}

}  // namespace geovanta

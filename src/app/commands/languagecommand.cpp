#include "app/commands/languagecommand.h"

#include "app/commands/dialogs.h"
#include "app/document.h"
#include "table/messages.h"

namespace geovanta {

void LanguageCommand::choose(const std::string& code) {
    ProgramState& state = document_.state();
    if (code == state.language) return;
    state.language = code;
    if (const auto error = document_.settings().writeString(SettingsFile::kLanguageKey, code)) {
        dialogs_.showMessage(MessageKind::Failure, failureText(*error));
        return;
    }
    dialogs_.showMessage(MessageKind::Information, textOf(Msg::LanguageAtNextStart));
}

}  // namespace geovanta

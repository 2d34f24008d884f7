#include "app/commands/clearcommand.h"

#include "app/commands/dialogs.h"
#include "app/document.h"
#include "table/messages.h"

namespace geovanta {

bool ClearCommand::run() {
    if (const auto refused = document_.refusal()) {
        dialogs_.showMessage(MessageKind::Failure, failureText(*refused));
        return false;
    }
    // An empty table loses nothing, so there is nothing to ask.
    if (!document_.table().isEmpty() && !dialogs_.askOkCancel(textOf(Msg::ClearQuestion))) return false;
    if (const auto refused = document_.clear()) {
        dialogs_.showMessage(MessageKind::Failure, failureText(*refused));
        return false;
    }
    return true;
}

}  // namespace geovanta

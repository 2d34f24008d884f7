#include "app/commands/clearcommand.h"

#include "app/commands/dialogs.h"
#include "app/document.h"
#include "table/messages.h"

namespace geovanta {

bool ClearCommand::run() {
    // An empty table loses nothing, so there is nothing to ask.
    if (!document_.table().isEmpty() && !dialogs_.askOkCancel(textOf(Msg::ClearQuestion))) return false;
    document_.clear();
    return true;
}

}  // namespace geovanta

#include "app/commands/clearcommand.h"

#include "app/commands/dialogs.h"
#include "app/programstate.h"
#include "table/datatable.h"

namespace geovanta {

bool ClearCommand::run() {
    // An empty table loses nothing, so there is nothing to ask.
    if (!table_.isEmpty() && !dialogs_.askOkCancel(kQuestion)) return false;
    table_.clear();
    table_.setLastScanPhotoCount(0);
    state_.trackCounter = 0;
    return true;
}

}  // namespace geovanta

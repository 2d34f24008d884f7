#include "app/commands/referencephotocommand.h"

#include <memory>

#include "app/commands/dialogs.h"
#include "app/commands/offsetscommand.h"
#include "app/document.h"
#include "app/passjob.h"
#include "binding/calcpositions.h"
#include "table/datatable.h"
#include "table/datetime.h"

namespace geovanta {

void ReferencePhotoCommand::run() {
    const DataTable& table = document_.table();
    ProgramState& state = document_.state();
    if (table.isEmpty() || table.recNo() >= table.rowCount()) return;
    const std::size_t row = table.recNo();
    if (!table.isPhoto(row)) return;
    // With the photographs' own zones in use the offset is added to the
    // photograph's time in UTC, as the pass does.
    const int64_t taken = photoTimeBeforeOffset(table, row, state.photoZones);
    // The dialog starts from the time the grid shows for the photograph.
    const int64_t shown = table.isNull(row, FieldId::VTime) ? taken + daysToMs(state.photoOffset)
                                                             : table.timeMs(row, FieldId::VTime);
    const auto truth = dialogs_.askShotTime(table.displayText(row, FieldId::Name), shown);
    if (!truth) return;
    state.photoOffset = msToDays(*truth - taken);
    saveOffsets(state, document_.settings(), dialogs_);
    const uint64_t photo = table.creationNumber(row);
    jobs_.submit(std::make_unique<PassJob>([photo](Document& document) {
        // The pass reorders the table; the photograph stays the current row
        // so that the user sees what became of it.
        if (const auto r = document.table().rowWithCreationNumber(photo)) document.moveTo(*r);
    }));
}

}  // namespace geovanta

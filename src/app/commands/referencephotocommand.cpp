#include "app/commands/referencephotocommand.h"

#include "app/commands/dialogs.h"
#include "app/commands/offsetscommand.h"
#include "app/programstate.h"
#include "binding/calcpositions.h"
#include "table/datatable.h"
#include "table/datetime.h"

namespace geovanta {

void ReferencePhotoCommand::run() {
    if (table_.isEmpty() || table_.recNo() >= table_.rowCount()) return;
    const std::size_t row = table_.recNo();
    if (!table_.isPhoto(row)) return;
    const int64_t taken = table_.timeMs(row, FieldId::Time);
    // The dialog starts from the time the grid shows for the photograph.
    const int64_t shown = table_.isNull(row, FieldId::VTime) ? taken + daysToMs(state_.photoOffset)
                                                              : table_.timeMs(row, FieldId::VTime);
    const auto truth = dialogs_.askShotTime(table_.displayText(row, FieldId::Name), shown);
    if (!truth) return;
    state_.photoOffset = msToDays(*truth - taken);
    if (!saveOffsets(state_, settings_, dialogs_)) return;
    const uint64_t photo = table_.creationNumber(row);
    CalcPositions(table_, bindingParams(state_));
    // The pass reorders the table; the photograph stays the current row so
    // that the user sees what became of it.
    for (std::size_t r = 0; r < table_.rowCount(); ++r)
        if (table_.creationNumber(r) == photo) {
            table_.moveTo(r);
            break;
        }
}

}  // namespace geovanta

#include "app/commands/referencephotocommand.h"

#include <memory>

#include "app/cameraclocks.h"
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
    const CameraKey* camera = table.camera(row);
    const CameraClock clock = clockOf(document_.params(), camera);
    const int64_t offsetMs = daysToMs(*clock.offset);
    // The dialog starts from the time the grid shows for the photograph; one
    // read as local time has none before the pass has found its zone.
    const bool local = readAsLocalTime(table, row, clock);
    const int64_t shown = !table.isNull(row, FieldId::VTime)
                              ? table.timeMs(row, FieldId::VTime)
                              : (local ? table.timeMs(row, FieldId::Time)
                                       : photoTimeBeforeOffset(table, row, state.photoZones || clock.localTime)) +
                                    offsetMs;
    const auto truth = dialogs_.askShotTime(table.displayText(row, FieldId::Name), shown);
    if (!truth) return;
    // The offset moves the photograph's time as much as it was off: for a
    // camera on local time too, whose zone stays the one the pass found.
    const double offset = msToDays(offsetMs + (*truth - shown));
    if (camera) {
        // Only this camera's clock was seen to be off.
        const CameraClock* kept = findClock(state.cameras, *camera);
        CameraClock own = kept ? *kept : CameraClock{*camera, std::nullopt, false};
        own.offset = offset;
        keepClock(state.cameras, own);
        saveCamera(own, document_.settings(), dialogs_);
    } else {
        state.photoOffset = offset;
        saveOffsets(state, document_.settings(), dialogs_);
    }
    const uint64_t photo = table.creationNumber(row);
    jobs_.submit(std::make_unique<PassJob>([photo](Document& document) {
        // The pass reorders the table; the photograph stays the current row
        // so that the user sees what became of it.
        if (const auto r = document.table().rowWithCreationNumber(photo)) document.moveTo(*r);
    }));
}

}  // namespace geovanta

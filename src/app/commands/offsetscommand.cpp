#include "app/commands/offsetscommand.h"

#include "app/programstate.h"
#include "app/settings.h"
#include "binding/calcpositions.h"
#include "table/datatable.h"

namespace geovanta {

OffsetFields offsetFieldsOf(const ProgramState& state) {
    const DayHourMinute t = splitOffset(state.trackOffset);
    const DayHourMinute p = splitOffset(state.photoOffset);
    OffsetFields f;
    f.trackDays = t.days;
    f.trackHours = t.hours;
    f.trackMinutes = t.minutes;
    f.photoDays = p.days;
    f.photoHours = p.hours;
    f.photoMinutes = p.minutes;
    f.toleranceSeconds = state.tolerance < kToleranceMin ? kToleranceMin : state.tolerance;
    return f;
}

void OffsetsCommand::run() {
    const auto answer = dialogs_.askOffsets(offsetFieldsOf(state_));
    if (!answer) return;
    // The dialog keeps its fields within range; a value from elsewhere is
    // held to the same ranges rather than trusted.
    const DayHourMinute track = withinFields({answer->trackDays, answer->trackHours, answer->trackMinutes});
    const DayHourMinute photo = withinFields({answer->photoDays, answer->photoHours, answer->photoMinutes});
    state_.trackOffset = composeOffset(track);
    state_.photoOffset = composeOffset(photo);
    state_.tolerance = answer->toleranceSeconds < kToleranceMin ? kToleranceMin : answer->toleranceSeconds;
    if (!save()) return;
    CalcPositions(table_, bindingParams(state_));
}

bool OffsetsCommand::save() {
    auto error = settings_.writeFloat("DeltaTrack", state_.trackOffset);
    if (!error) error = settings_.writeFloat("DeltaFoto", state_.photoOffset);
    if (!error) error = settings_.writeInteger("DeltaSec", state_.tolerance);
    if (!error) return true;
    dialogs_.showMessage(MessageKind::Failure, failureText(*error));
    return false;
}

}  // namespace geovanta

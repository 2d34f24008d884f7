#include "app/commands/offsetscommand.h"

#include <cmath>

#include <memory>

#include "app/document.h"
#include "app/passjob.h"
#include "app/settings.h"

namespace geovanta {

namespace {

// The fields show whole minutes. An offset set to the second (from a
// reference photograph) that the fields show as it is, rounded to its
// minute, survives an OK that did not touch them; anything else takes the
// fields' value, as shown.
double keptOrComposed(double current, const DayHourMinute& fields) {
    const DayHourMinute shown = splitOffset(current);
    const bool untouched = fields == shown && std::fabs(composeOffset(shown) - current) * 86400 < 30;
    return untouched ? current : composeOffset(fields);
}

}  // namespace

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
    f.photoZones = state.photoZones;
    return f;
}

void OffsetsCommand::run() {
    ProgramState& state = document_.state();
    const auto answer = dialogs_.askOffsets(offsetFieldsOf(state));
    if (!answer) return;
    // The dialog keeps its fields within range; a value from elsewhere is
    // held to the same ranges rather than trusted.
    const DayHourMinute track = withinFields({answer->trackDays, answer->trackHours, answer->trackMinutes});
    const DayHourMinute photo = withinFields({answer->photoDays, answer->photoHours, answer->photoMinutes});
    state.trackOffset = keptOrComposed(state.trackOffset, track);
    state.photoOffset = keptOrComposed(state.photoOffset, photo);
    state.tolerance = answer->toleranceSeconds < kToleranceMin ? kToleranceMin : answer->toleranceSeconds;
    state.photoZones = answer->photoZones;
    saveOffsets(state, document_.settings(), dialogs_);
    jobs_.submit(std::make_unique<PassJob>());
}

bool saveOffsets(const ProgramState& state, const SettingsFile& settings, Dialogs& dialogs) {
    auto error = settings.writeFloat("DeltaTrack", state.trackOffset);
    if (!error) error = settings.writeFloat("DeltaFoto", state.photoOffset);
    if (!error) error = settings.writeInteger("DeltaSec", state.tolerance);
    if (!error) error = settings.writeInteger(SettingsFile::kPhotoZonesKey, state.photoZones ? 1 : 0);
    if (!error) return true;
    dialogs.showMessage(MessageKind::Failure, failureText(*error));
    return false;
}

}  // namespace geovanta

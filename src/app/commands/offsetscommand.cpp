#include "app/commands/offsetscommand.h"

#include <cmath>

#include <memory>

#include "app/cameraclocks.h"
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

DayHourMinuteSecond partsOf(const CameraFields& f) { return {f.days, f.hours, f.minutes, f.seconds}; }

// The same for a camera's fields, which show whole seconds.
double keptOrComposed(double current, const CameraFields& fields) {
    return partsOf(fields) == splitCameraOffset(current) ? current : composeCameraOffset(partsOf(fields));
}

CameraFields cameraFieldsOf(const LoadedCamera& loaded, const CameraClock* clock, double photoOffset) {
    CameraFields f;
    f.name = loaded.name;
    f.photos = loaded.photos;
    f.ownOffset = clock && clock->offset;
    const DayHourMinuteSecond parts = splitCameraOffset(f.ownOffset ? *clock->offset : photoOffset);
    f.days = parts.days;
    f.hours = parts.hours;
    f.minutes = parts.minutes;
    f.seconds = parts.seconds;
    f.localTime = clock && clock->localTime;
    return f;
}

// The clocks of the cameras whose lines changed, now in force in `state`;
// `photoOffset` is the one their fields showed.
std::vector<CameraClock> takeCameras(ProgramState& state, const std::vector<LoadedCamera>& loaded,
                                     const std::vector<CameraFields>& answers, double photoOffset) {
    std::vector<CameraClock> changed;
    for (std::size_t i = 0; i < loaded.size() && i < answers.size(); ++i) {
        const CameraFields& f = answers[i];
        const CameraClock* kept = findClock(state.cameras, loaded[i].camera);
        const CameraClock before = kept ? *kept : CameraClock{loaded[i].camera, std::nullopt, false};
        CameraClock clock = before;
        clock.localTime = f.localTime;
        clock.offset = std::nullopt;
        if (f.ownOffset) clock.offset = keptOrComposed(before.offset.value_or(photoOffset), f);
        if (clock == before) continue;
        keepClock(state.cameras, clock);
        changed.push_back(clock);
    }
    return changed;
}

}  // namespace

OffsetFields offsetFieldsOf(const ProgramState& state, const std::vector<LoadedCamera>& cameras) {
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
    f.writeZones = state.writeZones;
    for (const LoadedCamera& c : cameras)
        f.cameras.push_back(cameraFieldsOf(c, findClock(state.cameras, c.camera), state.photoOffset));
    return f;
}

void OffsetsCommand::run() {
    ProgramState& state = document_.state();
    const std::vector<LoadedCamera> cameras = camerasIn(document_.table());
    const auto answer = dialogs_.askOffsets(offsetFieldsOf(state, cameras));
    if (!answer) return;
    // The dialog keeps its fields within range; a value from elsewhere is
    // held to the same ranges rather than trusted.
    const DayHourMinute track = withinFields({answer->trackDays, answer->trackHours, answer->trackMinutes});
    const DayHourMinute photo = withinFields({answer->photoDays, answer->photoHours, answer->photoMinutes});
    const double photoBefore = state.photoOffset;
    state.trackOffset = keptOrComposed(state.trackOffset, track);
    state.photoOffset = keptOrComposed(state.photoOffset, photo);
    state.tolerance = answer->toleranceSeconds < kToleranceMin ? kToleranceMin : answer->toleranceSeconds;
    state.photoZones = answer->photoZones;
    const std::vector<CameraClock> changed = takeCameras(state, cameras, answer->cameras, photoBefore);
    // Kept only once it was changed: a settings file without it means off.
    const bool zonesChanged = state.writeZones != answer->writeZones;
    state.writeZones = answer->writeZones;
    if (saveOffsets(state, document_.settings(), dialogs_, changed) && zonesChanged)
        if (const auto error = document_.settings().writeInteger(SettingsFile::kWriteZonesKey, state.writeZones ? 1 : 0))
            dialogs_.showMessage(MessageKind::Failure, failureText(*error));
    jobs_.submit(std::make_unique<PassJob>());
}

bool saveOffsets(const ProgramState& state, const SettingsFile& settings, Dialogs& dialogs,
                 const std::vector<CameraClock>& cameras) {
    auto error = settings.writeFloat("DeltaTrack", state.trackOffset);
    if (!error) error = settings.writeFloat("DeltaFoto", state.photoOffset);
    if (!error) error = settings.writeInteger("DeltaSec", state.tolerance);
    if (!error) error = settings.writeInteger(SettingsFile::kPhotoZonesKey, state.photoZones ? 1 : 0);
    for (std::size_t i = 0; i < cameras.size() && !error; ++i) error = settings.writeCamera(cameras[i]);
    if (!error) return true;
    dialogs.showMessage(MessageKind::Failure, failureText(*error));
    return false;
}

bool saveCamera(const CameraClock& clock, const SettingsFile& settings, Dialogs& dialogs) {
    const auto error = settings.writeCamera(clock);
    if (!error) return true;
    dialogs.showMessage(MessageKind::Failure, failureText(*error));
    return false;
}

}  // namespace geovanta

#include "binding/offsetscommand.h"

#include <cmath>

#include "app/programstate.h"
#include "app/settings.h"
#include "binding/calcpositions.h"
#include "table/datatable.h"
#include "table/numbertext.h"

namespace geovanta {
namespace {

// A whole number limited to [-limit, limit]; checked before the conversion so
// that a huge offset from the settings file cannot overflow.
int limited(double whole, int lo, int hi) {
    if (std::isnan(whole)) return 0;
    if (whole <= lo) return lo;
    if (whole >= hi) return hi;
    return static_cast<int>(whole);
}

int limited(int value, int lo, int hi) { return value < lo ? lo : (value > hi ? hi : value); }

DayHourMinute withinFields(DayHourMinute p) {
    p.days = limited(p.days, -kOffsetDaysLimit, kOffsetDaysLimit);
    p.hours = limited(p.hours, -kOffsetHoursLimit, kOffsetHoursLimit);
    p.minutes = limited(p.minutes, -kOffsetMinutesLimit, kOffsetMinutesLimit);
    return p;
}

}  // namespace

DayHourMinute splitOffset(double d) {
    if (!std::isfinite(d)) d = 0;
    const double days = roundHalfEven(d);
    const double v = (d - days) * 24;
    const double hours = roundHalfEven(v);
    const double w = (v - hours) * 60;
    const double minutes = roundHalfEven(w);
    return {limited(days, -kOffsetDaysLimit, kOffsetDaysLimit), limited(hours, -kOffsetHoursLimit, kOffsetHoursLimit),
            limited(minutes, -kOffsetMinutesLimit, kOffsetMinutesLimit)};
}

double composeOffset(const DayHourMinute& p) {
    return static_cast<double>(static_cast<long double>(p.days) + static_cast<long double>(p.hours) / 24 +
                               static_cast<long double>(p.minutes) / 24 / 60);
}

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
    CalcPositions(table_, BindingParams{state_.trackOffset, state_.photoOffset, state_.tolerance});
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

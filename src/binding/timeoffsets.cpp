#include "binding/timeoffsets.h"

#include <cmath>

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

}  // namespace

DayHourMinute withinFields(DayHourMinute p) {
    p.days = limited(p.days, -kOffsetDaysLimit, kOffsetDaysLimit);
    p.hours = limited(p.hours, -kOffsetHoursLimit, kOffsetHoursLimit);
    p.minutes = limited(p.minutes, -kOffsetMinutesLimit, kOffsetMinutesLimit);
    return p;
}

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

DayHourMinuteSecond splitCameraOffset(double d) {
    constexpr double kLimit = static_cast<double>(kCameraDaysLimit) * 86400;
    double total = std::isfinite(d) ? roundHalfEven(static_cast<long double>(d) * 86400) : 0;
    total = total < -kLimit ? -kLimit : (total > kLimit ? kLimit : total);
    const auto whole = static_cast<long long>(total < 0 ? -total : total);
    const int sign = total < 0 ? -1 : 1;
    return {sign * static_cast<int>(whole / 86400), sign * static_cast<int>(whole / 3600 % 24),
            sign * static_cast<int>(whole / 60 % 60), sign * static_cast<int>(whole % 60)};
}

double composeCameraOffset(DayHourMinuteSecond p) {
    p.days = limited(p.days, -kCameraDaysLimit, kCameraDaysLimit);
    p.hours = limited(p.hours, -kCameraHoursLimit, kCameraHoursLimit);
    p.minutes = limited(p.minutes, -kCameraMinutesLimit, kCameraMinutesLimit);
    p.seconds = limited(p.seconds, -kCameraSecondsLimit, kCameraSecondsLimit);
    const long long seconds = ((static_cast<long long>(p.days) * 24 + p.hours) * 60 + p.minutes) * 60 + p.seconds;
    return static_cast<double>(static_cast<long double>(seconds) / 86400);
}

}  // namespace geovanta

#pragma once
// Offsets held in days, shown as days, hours and minutes: the split that the
// offsets dialog opens with and the sum it stores.

namespace geovanta {

// Ranges of the dialog's fields.
inline constexpr int kOffsetDaysLimit = 10;
inline constexpr int kOffsetHoursLimit = 12;
inline constexpr int kOffsetMinutesLimit = 59;
inline constexpr int kToleranceMin = 1;

struct DayHourMinute {
    int days = 0, hours = 0, minutes = 0;
    bool operator==(const DayHourMinute&) const = default;
};

// Each step takes the nearest whole number (halves to even) of the running
// value, so hours and minutes may have the opposite sign of the days; the
// three add up to the offset rounded to whole minutes. Each part is limited
// to its field's range, as the field itself would do.
DayHourMinute splitOffset(double days);

// days + hours / 24 + minutes / 24 / 60, worked in extended precision.
double composeOffset(const DayHourMinute& parts);

// Each part limited to its field's range.
DayHourMinute withinFields(DayHourMinute parts);

// A camera's own offset is shown to the second, every part with the
// offset's sign, and may reach a century: a clock never set runs years off.
inline constexpr int kCameraDaysLimit = 36525;
inline constexpr int kCameraHoursLimit = 23;
inline constexpr int kCameraMinutesLimit = 59;
inline constexpr int kCameraSecondsLimit = 59;

struct DayHourMinuteSecond {
    int days = 0, hours = 0, minutes = 0, seconds = 0;
    bool operator==(const DayHourMinuteSecond&) const = default;
};

// The offset rounded to the nearest second (halves to even), within the
// fields' ranges.
DayHourMinuteSecond splitCameraOffset(double days);
// The sum of the parts in days, each part first limited to its field's range.
double composeCameraOffset(DayHourMinuteSecond parts);

}  // namespace geovanta

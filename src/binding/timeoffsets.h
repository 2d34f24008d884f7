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

}  // namespace geovanta

#pragma once
// The time offsets command: shows the two offsets as days, hours and minutes
// and the tolerance, and on OK stores them, saves them and re-runs the
// binding pass.

#include "app/dialogs.h"

namespace geovanta {

class DataTable;
class SettingsFile;
struct ProgramState;

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

// The fields the dialog opens with.
OffsetFields offsetFieldsOf(const ProgramState& state);

class OffsetsCommand {
public:
    OffsetsCommand(DataTable& table, ProgramState& state, const SettingsFile& settings, Dialogs& dialogs)
        : table_(table), state_(state), settings_(settings), dialogs_(dialogs) {}

    void run();

private:
    // Saves the three keys; false after showing the first failure.
    bool save();

    DataTable& table_;
    ProgramState& state_;
    const SettingsFile& settings_;
    Dialogs& dialogs_;
};

}  // namespace geovanta

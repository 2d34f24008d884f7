#pragma once
// Day-time values: days since 1899-12-30 00:00, held in the table as whole
// milliseconds so that equality and ordering are exact.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace geovanta {

inline constexpr int64_t kMsPerDay = 86400000;
// 1970-01-01 00:00 UTC, where Unix and most device clocks count from.
inline constexpr int64_t kUnixEpochMs = int64_t{25569} * kMsPerDay;

// Representable range: 0001-01-01 00:00:00.000 to 9999-12-31 23:59:59.999.
inline constexpr double kMinDays = -693593.0;
inline constexpr double kMaxDays = 2958466.0;

struct CivilDateTime {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// True when the value is finite and inside the representable range.
bool dayTimeInRange(long double days);

// Rounds to the nearest millisecond, exact halves to even. Values outside the
// representable range are clamped to it (callers validate input beforehand).
int64_t daysToMs(long double days);
double msToDays(int64_t ms);

CivilDateTime msToCivil(int64_t ms);
// Returns nothing for an impossible date or time.
std::optional<int64_t> civilToMs(const CivilDateTime& c);
bool validDate(int year, int month, int day);

// "dd.mm.yyyy hh:mm:ss", or the date alone when hours, minutes and seconds are 0.
std::string formatDayTime(int64_t ms);
// "YYYY-MM-DD HH:MM:SS.zzz"
std::string formatIsoDayTime(int64_t ms);
// The same into a buffer with room for 48 characters; returns the end.
char* putIsoDayTime(char* out, int64_t ms);
// Reads "dd.mm.yyyy", optionally followed by blanks and "hh:mm" or "hh:mm:ss".
std::optional<int64_t> parseDayTime(std::string_view text);

}  // namespace geovanta

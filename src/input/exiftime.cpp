#include "input/exiftime.h"

#include <algorithm>
#include <vector>

#include "table/datetime.h"

namespace geovanta {
namespace {

// Decimal digits only, at most nine of them; blanks are dropped first.
std::optional<int> digitsValue(std::string_view text, int* digitCount = nullptr) {
    int value = 0, count = 0;
    for (char c : text) {
        if (c == ' ') continue;
        if (c < '0' || c > '9' || count == 9) return std::nullopt;
        value = value * 10 + (c - '0');
        ++count;
    }
    if (count == 0) return std::nullopt;
    if (digitCount) *digitCount = count;
    return value;
}

int windowYear(int year, int currentYear) {
    const int pivot = currentYear - 60;
    int full = pivot / 100 * 100 + year;
    if (full < pivot) full += 100;
    return full;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find(separator, from);
        parts.push_back(text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
        if (at == std::string_view::npos) return parts;
        from = at + 1;
    }
}

// A year of four digits is taken as written, as ExifTool reads it; only one
// of two digits or fewer is placed in the window. Before 1900 no camera took
// the photograph: such a year is a damaged or unset clock, not a date.
std::optional<int64_t> dateMs(int year, int yearDigits, int month, int day, int currentYear) {
    if (yearDigits <= 2) year = windowYear(year, currentYear);
    if (year < kFirstCameraYear) return std::nullopt;
    return civilToMs(CivilDateTime{year, month, day, 0, 0, 0, 0});
}

// "YYYY:MM:DD" by position: characters 5 and 8 are not looked at.
std::optional<int64_t> dateByPosition(std::string_view date, int currentYear) {
    if (date.size() > 10) return std::nullopt;
    auto piece = [&](std::size_t from, std::size_t count) {
        return from < date.size() ? date.substr(from, count) : std::string_view();
    };
    int yearDigits = 0;
    const auto year = digitsValue(piece(0, 4), &yearDigits);
    const auto month = digitsValue(piece(5, 2));
    const auto day = digitsValue(piece(8, 2));
    // Year 0 is what a camera without a set clock writes, no year of the window.
    if (!year || !month || !day || *year == 0) return std::nullopt;
    return dateMs(*year, yearDigits, *month, *day, currentYear);
}

// Numbers separated by ".", year first.
std::optional<int64_t> dateWithSeparator(std::string_view date, int currentYear) {
    const auto parts = split(date, '.');
    if (parts.size() != 3) return std::nullopt;
    int yearDigits = 0;
    const auto year = digitsValue(parts[0], &yearDigits);
    const auto month = digitsValue(parts[1]);
    const auto day = digitsValue(parts[2]);
    if (!year || !month || !day) return std::nullopt;
    return dateMs(*year, yearDigits, *month, *day, currentYear);
}

}  // namespace

std::string_view exifDatePart(std::string_view text) { return text.substr(0, text.find(' ')); }

std::string_view exifTimePart(std::string_view text) {
    const std::size_t first = text.find(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t second = text.find(' ', first + 1);
    return text.substr(first + 1, second == std::string_view::npos ? std::string_view::npos : second - first - 1);
}

std::optional<int64_t> exifDateMs(std::string_view datePart, int currentYear) {
    if (auto ms = dateByPosition(datePart, currentYear)) return ms;
    return dateWithSeparator(datePart, currentYear);
}

std::optional<int64_t> exifTimeOfDayMs(std::string_view timePart) {
    const auto parts = split(timePart, ':');
    if (parts.size() > 3) return std::nullopt;
    int values[3] = {0, 0, 0};
    for (std::size_t k = 0; k < parts.size(); ++k) {
        const auto v = digitsValue(parts[k]);
        if (!v || parts[k].find(' ') != std::string_view::npos) return std::nullopt;
        values[k] = *v;
    }
    if (values[0] > 23 || values[1] > 59 || values[2] > 59) return std::nullopt;
    return ((values[0] * 60LL + values[1]) * 60 + values[2]) * 1000;
}

std::optional<int64_t> exifShootingTimeMs(std::string_view text, int currentYear) {
    const auto date = exifDateMs(exifDatePart(text), currentYear);
    const auto time = exifTimeOfDayMs(exifTimePart(text));
    if (!date || !time) return std::nullopt;
    return *date + *time;
}

bool exifYearTooEarly(std::string_view text) {
    const std::string_view date = exifDatePart(text);
    int digits = 0;
    const auto year = digitsValue(date.substr(0, std::min<std::size_t>(date.find_first_of(":.-"), 4)), &digits);
    return year && *year > 0 && digits > 2 && *year < kFirstCameraYear;
}

bool exifDateUnknown(std::string_view text) {
    return text.find_first_not_of(" :") == std::string_view::npos;
}

}  // namespace geovanta

#pragma once
// The shooting time of a photograph from its EXIF date-time text, which a
// camera writes as "2010:12:01 11:15:00".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace geovanta {

// The text before the first blank (the whole text without one).
std::string_view exifDatePart(std::string_view text);
// The text between the first and the second blank; empty without a blank.
std::string_view exifTimePart(std::string_view text);

// No photograph was taken before this year.
inline constexpr int kFirstCameraYear = 1900;

// Date part in milliseconds since 1899-12-30; nothing when it is no calendar
// date (a day beyond the month's end, month 0 or 13, year 0, a year before
// kFirstCameraYear). A year of three or four digits counts as written;
// `currentYear` places one of two digits or fewer in the hundred years that
// start 60 years before it.
std::optional<int64_t> exifDateMs(std::string_view datePart, int currentYear);
// Time part as hours[:minutes[:seconds]]; nothing when it is no time of day.
std::optional<int64_t> exifTimeOfDayMs(std::string_view timePart);

// Date plus time of day in milliseconds since 1899-12-30, or nothing when
// either part is no date or no time ("2021:02:30 10:00:00",
// "0000:00:00 00:00:00", "2010:12:01 24:00:00", "2010:12:01").
std::optional<int64_t> exifShootingTimeMs(std::string_view text, int currentYear);

// True when the text's year is written out in full and lies before
// kFirstCameraYear ("0001:01:01 10:00:00"): why such a text is no date.
bool exifYearTooEarly(std::string_view text);

// True for the form cameras write when they know no date: only blanks and
// colons ("    :  :     :  :  "), or nothing at all.
bool exifDateUnknown(std::string_view text);

}  // namespace geovanta

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

// Date part in milliseconds since 1899-12-30 (0 when it is no date at all).
// `currentYear` places two-digit years in the hundred years that start
// 60 years before it.
int64_t exifDateMs(std::string_view datePart, int currentYear);
// Time part as hours[:minutes[:seconds]]; nothing when it is no time of day.
std::optional<int64_t> exifTimeOfDayMs(std::string_view timePart);

// Date plus time of day in milliseconds since 1899-12-30, or nothing when the
// time part cannot be read (see invalidTimeMessage).
std::optional<int64_t> exifShootingTimeMs(std::string_view text, int currentYear);

// "'%s' is not a valid time"
std::string invalidTimeMessage(std::string_view timePart);

// True for the form cameras write when they know no date: only blanks and
// colons ("    :  :     :  :  "), or nothing at all.
bool exifDateUnknown(std::string_view text);

}  // namespace geovanta

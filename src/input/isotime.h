#pragma once
// Times as GPS exchange files write them (XML Schema dateTime, a profile of
// ISO 8601): "2010-12-01T08:15:00Z", "2010-12-01T11:15:00.250+03:00".

#include <cstdint>
#include <optional>
#include <string_view>

namespace geovanta {

// The UTC instant in milliseconds since 1899-12-30, or nothing when the text
// is no date and time or lies outside the range the table holds.
//  - date "YYYY-MM-DD", then "T" (a blank or "t" are taken too), then
//    "hh:mm:ss" with an optional fraction of any length, rounded to the
//    millisecond, exact halves to even; "24:00:00" is the next midnight and a
//    leap second ":60" the next minute's start;
//  - then "Z", an offset "+hh:mm" / "-hh:mm" ("+hhmm" and "+hh" are taken
//    too), or nothing, which is read as UTC.
// Blanks, tabs and line ends around the text are ignored.
std::optional<int64_t> parseIsoTimeMs(std::string_view text);

}  // namespace geovanta

#pragma once
// Conversions of the values a location history holds. Each returns the
// error message naming the file's own key, or nothing; numbers may come as
// JSON numbers or as strings, and both arrive here as text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace geovanta {

// Degrees times 10^7 as a whole number ("latitudeE7": 525121303), within
// ±`limit` degrees once divided.
std::optional<std::string> readE7(std::string_view text, std::string_view key, double limit,
                                  std::optional<double>& degrees);

// A position in one text: "43.775309°, 9.071146°", "43.775309, 9.071146" or
// the geo URI "geo:43.775309,9.071146" (parameters after ";" and an altitude
// after a second comma are ignored).
std::optional<std::string> readLatLngText(std::string_view text, std::string_view key, std::optional<double>& lat,
                                          std::optional<double>& lon);

// Milliseconds since 1970-01-01 UTC ("timestampMs": "1365999086860") as the
// table's milliseconds since 1899-12-30.
std::optional<std::string> readEpochMs(std::string_view text, int64_t& ms);

// `start` moved by a number of minutes; nothing when the result lies outside
// the range the table holds.
std::optional<int64_t> addMinutes(int64_t start, double minutes);

}  // namespace geovanta

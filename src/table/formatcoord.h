#pragma once
#include <string>
#include <string_view>

namespace geovanta {

// Whole degrees, minutes with four decimals and the hemisphere letter:
// FormatCoord("SN", 55.755833) == "55 45.3500 N". `letters` holds the letter
// for negative values first, then the one for zero and positive values.
std::string FormatCoord(std::string_view letters, double x);
// The same into a buffer with room for kNumberTextMax characters; returns
// the end.
char* putCoord(char* out, std::string_view letters, double x);

}  // namespace geovanta

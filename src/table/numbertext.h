#pragma once
// Locale-free number text: the one syntax every reader and the settings file use.
//   blanks, [+|-], digits with optional "." fraction (at least one digit),
//   optional exponent (E|e, [+|-], digits), blanks.
// No "inf", "nan", hexadecimal or "," separator is accepted, and a result that
// is not finite is rejected.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace geovanta {

// Removes leading and trailing blanks (the space character only).
std::string_view trimBlanks(std::string_view text);

std::optional<double> parseNumber(std::string_view text);
// The same syntax, but a number too large for a double reads as infinity of
// its sign: for values that are numbers yet out of range, which the caller
// treats otherwise than text that is no number.
std::optional<double> parseNumberOrInfinity(std::string_view text);

// Signed 32-bit whole number: decimal, or hexadecimal after "0x"/"0X".
std::optional<int32_t> parseInteger(std::string_view text);

// Nearest whole number, exact halves to even.
double roundHalfEven(long double value);

// Fixed notation with exactly `decimals` digits after ".", rounded half away
// from zero, at least one digit before the point ("#0.00" for 2, "0.0000").
std::string formatFixed(long double value, int decimals, int minIntegerDigits = 1);

// General format with up to 15 significant digits, "." separator, no trailing
// zeros, exponent form ("1E-6", "1.5E20") for very small or large values.
std::string formatGeneral(double value);

// Shortest text that reads back as the same double.
std::string formatShortest(double value);

// Writers into a caller's buffer, for output of many values: each writes what
// its format function returns and gives back the end of it. The buffer needs
// room for kNumberTextMax characters; decimals and digit counts stay below 20.
inline constexpr std::size_t kNumberTextMax = 96;
char* putFixed(char* out, long double value, int decimals, int minIntegerDigits = 1);
char* putShortest(char* out, double value);
// A whole number in decimal with at least `minDigits` digits (zeros in front),
// after a "-" when negative.
char* putInteger(char* out, long long value, int minDigits = 1);

}  // namespace geovanta

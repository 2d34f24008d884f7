#include "table/formatcoord.h"

#include <cmath>

#include "table/numbertext.h"

namespace geovanta {
namespace {

// The general road: extended precision throughout.
char* putCoordExactly(char* out, char letter, double x) {
    const long double a = std::fabs(static_cast<long double>(x));
    const long double whole = std::trunc(a);
    // Degrees are an unsigned 16-bit number; fmod keeps absurd values defined.
    out = putInteger(out, static_cast<unsigned>(whole < 65536 ? whole : std::fmod(whole, 65536.0L)));
    *out++ = ' ';
    out = putFixed(out, (a - whole) * 60, 4, 2);
    *out++ = ' ';
    *out++ = letter;
    return out;
}

}  // namespace

char* putCoord(char* out, std::string_view letters, double x) {
    const char letter = x < 0 ? letters[0] : letters[1];
    const double a = std::fabs(x);
    const double whole = std::trunc(a);
    // The fraction of a double is exact, and so is its product by 60 in
    // extended precision; rounded to a double it is the product in double
    // arithmetic. Its ten-thousandths are whole and rounded as putFixed
    // rounds them, unless they lie within a hair of a half: those, and
    // absurd degrees, take the general road.
    if (!(whole < 65536)) return putCoordExactly(out, letter, x);
    const double tenThousandths = (a - whole) * 60 * 1e4;
    const auto floor = static_cast<uint32_t>(tenThousandths);
    const double part = tenThousandths - floor;
    if (std::fabs(part - 0.5) <= 1e-6) return putCoordExactly(out, letter, x);
    const uint32_t scaled = floor + (part > 0.5 ? 1 : 0);  // at most 600000: "60.0000"
    out = putInteger(out, static_cast<unsigned>(whole));
    *out++ = ' ';
    char digits[6];
    uint32_t rest = scaled;
    for (int i = 5; i >= 0; --i, rest /= 10) digits[i] = static_cast<char>('0' + rest % 10);
    *out++ = digits[0];
    *out++ = digits[1];
    *out++ = '.';
    for (int i = 2; i < 6; ++i) *out++ = digits[i];
    *out++ = ' ';
    *out++ = letter;
    return out;
}

std::string FormatCoord(std::string_view letters, double x) {
    char buf[kNumberTextMax];
    return std::string(buf, putCoord(buf, letters, x));
}

}  // namespace geovanta

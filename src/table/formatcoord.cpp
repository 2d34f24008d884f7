#include "table/formatcoord.h"

#include <cmath>

#include "table/numbertext.h"

namespace geovanta {

char* putCoord(char* out, std::string_view letters, double x) {
    const char letter = x < 0 ? letters[0] : letters[1];
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

std::string FormatCoord(std::string_view letters, double x) {
    char buf[kNumberTextMax];
    return std::string(buf, putCoord(buf, letters, x));
}

}  // namespace geovanta

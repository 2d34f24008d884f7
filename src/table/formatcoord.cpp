#include "table/formatcoord.h"

#include <cmath>

#include "table/numbertext.h"

namespace geovanta {

std::string FormatCoord(std::string_view letters, double x) {
    const char letter = x < 0 ? letters[0] : letters[1];
    const long double a = std::fabs(static_cast<long double>(x));
    const long double whole = std::trunc(a);
    // Degrees are an unsigned 16-bit number; fmod keeps absurd values defined.
    const auto degrees = static_cast<unsigned>(std::fmod(whole, 65536.0L));
    std::string text = std::to_string(degrees);
    text += ' ';
    text += formatFixed((a - whole) * 60, 4, 2);
    text += ' ';
    text += letter;
    return text;
}

}  // namespace geovanta

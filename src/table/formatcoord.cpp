#include "table/formatcoord.h"

#include <cmath>

#include "table/numbertext.h"

namespace geovanta {

void appendCoord(std::string& out, std::string_view letters, double x) {
    const char letter = x < 0 ? letters[0] : letters[1];
    const long double a = std::fabs(static_cast<long double>(x));
    const long double whole = std::trunc(a);
    // Degrees are an unsigned 16-bit number; fmod keeps absurd values defined.
    appendInteger(out, static_cast<unsigned>(whole < 65536 ? whole : std::fmod(whole, 65536.0L)));
    out.push_back(' ');
    appendFixed(out, (a - whole) * 60, 4, 2);
    out.push_back(' ');
    out.push_back(letter);
}

std::string FormatCoord(std::string_view letters, double x) {
    std::string text;
    appendCoord(text, letters, x);
    return text;
}

}  // namespace geovanta

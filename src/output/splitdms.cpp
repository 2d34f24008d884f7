#include "output/splitdms.h"

#include <cmath>

#include "table/numbertext.h"

namespace geovanta {

DmsParts SplitDMS(double value, std::string_view letters, int secondDecimals) {
    DmsParts parts;
    parts.letter = std::string(1, value < 0 ? letters[0] : letters[1]);
    const long double a = std::fabs(static_cast<long double>(value));
    const long double whole = std::trunc(a);
    // Degrees are an unsigned 16-bit number; fmod keeps absurd values defined.
    parts.degrees = std::to_string(static_cast<unsigned>(std::fmod(whole, 65536.0L)));
    const double m = static_cast<double>((a - whole) * 60);
    const double minutes = std::trunc(m);
    parts.minutes = std::to_string(static_cast<long long>(minutes));
    long double scale = 1;
    for (int k = 0; k < secondDecimals; ++k) scale *= 10;
    // Seconds as a whole count of their last digit, so that the rounding is
    // the one rounding rule of the program, then written with the point.
    const auto units = static_cast<long long>(roundHalfEven((static_cast<long double>(m) - minutes) * 60 * scale));
    parts.seconds = std::to_string(units);
    if (secondDecimals > 0) {
        const auto digits = static_cast<std::size_t>(secondDecimals);
        if (parts.seconds.size() <= digits) parts.seconds.insert(0, digits + 1 - parts.seconds.size(), '0');
        parts.seconds.insert(parts.seconds.size() - digits, 1, '.');
    }
    return parts;
}

}  // namespace geovanta

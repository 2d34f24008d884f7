#include "output/splitdms.h"

#include <cmath>

#include "table/numbertext.h"

namespace geovanta {

DmsParts SplitDMS(double value, std::string_view letters) {
    DmsParts parts;
    parts.letter = std::string(1, value < 0 ? letters[0] : letters[1]);
    const long double a = std::fabs(static_cast<long double>(value));
    const long double whole = std::trunc(a);
    // Degrees are an unsigned 16-bit number; fmod keeps absurd values defined.
    parts.degrees = std::to_string(static_cast<unsigned>(std::fmod(whole, 65536.0L)));
    const double m = static_cast<double>((a - whole) * 60);
    const double minutes = std::trunc(m);
    parts.minutes = std::to_string(static_cast<long long>(minutes));
    const double seconds = roundHalfEven((static_cast<long double>(m) - minutes) * 60);
    parts.seconds = std::to_string(static_cast<long long>(seconds));
    return parts;
}

}  // namespace geovanta

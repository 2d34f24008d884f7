#pragma once
#include <string>
#include <string_view>

namespace geovanta {

// One coordinate cut into whole degrees, whole minutes and rounded seconds
// (halves to even; 60 is possible and not carried), each as decimal text,
// plus the hemisphere letter.
struct DmsParts {
    std::string degrees, minutes, seconds, letter;
    bool operator==(const DmsParts&) const = default;
};

// `letters` is the hemisphere pair, "SN" or "WE": the first letter for
// negative values, the second for zero and above. The seconds are whole, or
// carry `secondDecimals` digits after a "." when that is above 0.
DmsParts SplitDMS(double value, std::string_view letters, int secondDecimals = 0);

}  // namespace geovanta

#pragma once
// ISO 3166-1 two-letter country codes ("IS") kept in two bytes, as the
// border and town data sets name their countries.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace geovanta {

using CountryCode = uint16_t;

// Two ASCII capital letters, else none.
inline std::optional<CountryCode> packCountryCode(std::string_view text) {
    if (text.size() != 2) return std::nullopt;
    for (char c : text)
        if (c < 'A' || c > 'Z') return std::nullopt;
    return static_cast<CountryCode>((text[0] << 8) | text[1]);
}

inline std::string countryCodeText(CountryCode code) {
    return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

}  // namespace geovanta

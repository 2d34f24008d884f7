#include "binding/privacyzones.h"

#include <cmath>

#include "geo/greatcircle.h"
#include "table/numbertext.h"

namespace geovanta {

bool isValidZone(const PrivacyZone& z) {
    return std::isfinite(z.lat) && std::isfinite(z.lon) && std::fabs(z.lat) <= 90 && std::fabs(z.lon) <= 180 &&
           z.radiusM > 0 && z.radiusM <= kMaxPrivacyRadiusM;
}

const PrivacyZone* zoneHolding(const PrivacyZones& zones, double lat, double lon) {
    for (const PrivacyZone& z : zones)
        if (greatCircleMetres(z.lat, z.lon, lat, lon) <= z.radiusM) return &z;
    return nullptr;
}

std::string zoneText(const PrivacyZone& z) {
    return formatGeneral(z.lat) + "," + formatGeneral(z.lon) + "," + formatGeneral(z.radiusM) + "," + z.name;
}

std::optional<PrivacyZone> parseZone(std::string_view text) {
    std::optional<double> numbers[3];
    std::size_t from = 0, end = 0;  // where the next field starts, where the numbers end
    for (std::size_t k = 0; k < 3; ++k) {
        const std::size_t comma = text.find(',', from);
        if (comma == std::string_view::npos && k < 2) return std::nullopt;
        end = comma == std::string_view::npos ? text.size() : comma;
        numbers[k] = parseNumber(text.substr(from, end - from));
        if (!numbers[k]) return std::nullopt;
        from = end + 1;
    }
    // Without a name of its own a zone is known by where it is.
    const std::string_view name = from < text.size() ? text.substr(from) : std::string_view();
    PrivacyZone zone{std::string(name.empty() ? text.substr(0, end) : name), *numbers[0], *numbers[1], *numbers[2]};
    if (!isValidZone(zone)) return std::nullopt;
    return zone;
}

}  // namespace geovanta

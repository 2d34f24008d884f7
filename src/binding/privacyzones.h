#pragma once
// Places a person keeps out of every photograph: named circles around a home
// or a friend's house. A photograph whose position would fall inside one is
// not placed, so nothing tells where it was taken: no tags, no waypoint, no
// position in the CSV.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace geovanta {

struct PrivacyZone {
    std::string name;
    double lat = 0, lon = 0;  // the centre, degrees
    double radiusM = 0;

    bool operator==(const PrivacyZone&) const = default;
};
using PrivacyZones = std::vector<PrivacyZone>;

// Wider circles are no one's home; a radius beyond this is a mistake.
inline constexpr double kMaxPrivacyRadiusM = 1'000'000;

// Whether the centre lies on the globe and the radius is above 0 and within
// kMaxPrivacyRadiusM.
bool isValidZone(const PrivacyZone& zone);

// The first of `zones` that holds the position, its edge included; nullptr
// for none.
const PrivacyZone* zoneHolding(const PrivacyZones& zones, double lat, double lon);

// A zone as text, "LAT,LON,RADIUS_M,NAME": the name last, so that it may
// hold commas. Parsing takes "LAT,LON,RADIUS_M" alone too, naming the zone
// by that text; nothing for text that is no valid zone.
std::string zoneText(const PrivacyZone& zone);
std::optional<PrivacyZone> parseZone(std::string_view text);

}  // namespace geovanta

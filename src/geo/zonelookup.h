#pragma once
// The time zone of a place, as one pass of the program sees it: by the
// zones' borders, and by the nearest town of the country (the place names'
// towns carry their zones) only where the borders cannot tell: when their
// file could not be read, or where they name a zone the system's tz database
// does not know yet. Without the borders the open sea keeps the nautical
// zone of its longitude, as the borders' file has it.
//
// Zones are numbered as the map numbers them; the few the towns add get
// numbers of their own from kTownZones on. A lookup remembers what it
// found out (which zones the tz database knows, the towns' zones it met), so
// it belongs to one thread, and the names it gives live as long as it does.

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "geo/zonemap.h"

namespace geovanta {

class PlaceFinder;
class ZoneData;

class ZoneLookup {
public:
    static constexpr ZoneIndex kTownZones = 0x8000;

    // `map` may be nullptr or empty; `places` is asked for the towns the
    // first time they are needed, and may give nullptr.
    explicit ZoneLookup(const ZoneMap* map, std::function<const PlaceFinder*()> places = {});
    explicit ZoneLookup(const ZoneData& data);

    // Knows no zone at all: neither borders nor towns could be read.
    bool empty() const;
    // The zone at a point, in degrees; 0 where none is known.
    ZoneIndex indexAt(double lat, double lon) const;
    // Its IANA id; empty for 0 or a number not given out.
    std::string_view name(ZoneIndex zone) const;
    // Whether the zone is one of the open sea's.
    bool atSea(ZoneIndex zone) const;

private:
    ZoneIndex ownZone(std::string name, bool sea) const;
    ZoneIndex townZone(double lat, double lon) const;
    bool knownToDatabase(ZoneIndex zone) const;
    const PlaceFinder* places() const;

    const ZoneMap* map_;
    std::function<const PlaceFinder*()> placesSource_;
    mutable const PlaceFinder* places_ = nullptr;
    mutable bool placesAsked_ = false;
    // The map's zones and its own: 0 not asked yet, 1 known to the tz database, 2 not.
    mutable std::vector<uint8_t> known_, ownKnown_;
    // Zones of the towns and, without a map, of the sea: kTownZones + place.
    mutable std::deque<std::string> ownNames_;
    mutable std::vector<bool> ownAtSea_;
    mutable std::unordered_map<std::string, ZoneIndex> ownIndex_;
};

}  // namespace geovanta

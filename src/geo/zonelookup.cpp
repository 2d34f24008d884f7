#include "geo/zonelookup.h"

#include <cmath>

#include "geo/placefinder.h"
#include "geo/zonedata.h"
#include "geo/zonerules.h"

namespace geovanta {
namespace {

// POSIX signs: Etc/GMT-1 is one hour east of Greenwich. 15 degrees a zone,
// centred on whole hours, as the borders' file divides the open sea.
std::string nauticalName(double lon) {
    int hour = static_cast<int>(std::floor((lon + 7.5) / 15));
    hour = hour < -12 ? -12 : hour > 12 ? 12 : hour;
    if (hour == 0) return "Etc/GMT";
    return std::string("Etc/GMT") + (hour > 0 ? "-" : "+") + std::to_string(hour > 0 ? hour : -hour);
}

}  // namespace

ZoneLookup::ZoneLookup(const ZoneMap* map, std::function<const PlaceFinder*()> places)
    : map_(map && !map->empty() ? map : nullptr), placesSource_(std::move(places)) {}

ZoneLookup::ZoneLookup(const ZoneData& data)
    : ZoneLookup(data.map(), [&data] { return data.places(); }) {}

const PlaceFinder* ZoneLookup::places() const {
    if (!placesAsked_) {
        placesAsked_ = true;
        places_ = placesSource_ ? placesSource_() : nullptr;
    }
    return places_;
}

bool ZoneLookup::empty() const { return !map_ && !places(); }

ZoneIndex ZoneLookup::ownZone(std::string name, bool sea) const {
    const auto [it, added] = ownIndex_.try_emplace(name, static_cast<ZoneIndex>(kTownZones + ownNames_.size()));
    if (added) {
        ownNames_.push_back(std::move(name));
        ownAtSea_.push_back(sea);
    }
    return it->second;
}

ZoneIndex ZoneLookup::townZone(double lat, double lon) const {
    const PlaceFinder* towns = places();
    if (!towns) return 0;
    const std::optional<ZoneTown> town = towns->nearestTownHere(lat, lon, Language::English);
    if (!town || town->zone.empty()) return 0;
    const ZoneIndex zone = ownZone(town->zone, false);
    return knownToDatabase(zone) ? zone : 0;
}

bool ZoneLookup::knownToDatabase(ZoneIndex zone) const {
    // Each zone is asked once, when it is first met.
    std::vector<uint8_t>& known = zone >= kTownZones ? ownKnown_ : known_;
    const std::size_t at = zone >= kTownZones ? zone - kTownZones : zone;
    if (known.size() <= at) known.resize(at + 1, 0);
    if (known[at] == 0) known[at] = ZoneRules::load(std::string(name(zone))) ? 1 : 2;
    return known[at] == 1;
}

ZoneIndex ZoneLookup::indexAt(double lat, double lon) const {
    if (!std::isfinite(lat) || !std::isfinite(lon) || lat < -90 || lat > 90 || lon < -180 || lon > 180) return 0;
    if (map_) {
        const ZoneIndex zone = map_->indexAt(lat, lon);
        if (zone == 0 || knownToDatabase(zone)) return zone;
        // A zone newer than the system's tz database: the town's is one it knows.
        const ZoneIndex town = townZone(lat, lon);
        return town != 0 ? town : zone;
    }
    const ZoneIndex town = townZone(lat, lon);
    if (town != 0) return town;
    // Outside every country's borders: at sea, as far as the towns can tell.
    return places() ? ownZone(nauticalName(lon), true) : 0;
}

std::string_view ZoneLookup::name(ZoneIndex zone) const {
    if (zone >= kTownZones) {
        const std::size_t at = zone - kTownZones;
        return at < ownNames_.size() ? std::string_view(ownNames_[at]) : std::string_view();
    }
    return map_ ? map_->name(zone) : std::string_view();
}

bool ZoneLookup::atSea(ZoneIndex zone) const {
    if (zone >= kTownZones) {
        const std::size_t at = zone - kTownZones;
        return at < ownAtSea_.size() && ownAtSea_[at];
    }
    return map_ && map_->atSea(zone);
}

}  // namespace geovanta

#pragma once
// The data sets a place's time zone is found by: the zones' borders
// (zones.bin) and the towns of the place names, each with its zone, which
// stand in where the borders cannot tell. Each is read the first time it is
// asked for, on whichever thread asks, and kept while the object lives: the
// program keeps one per process, so only a pass with a camera on local time
// pays for them, and only once.

#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "geo/placefinder.h"
#include "geo/zonemap.h"

namespace geovanta {

class ZoneData {
public:
    // The zones' borders file and the place names' folder.
    ZoneData(std::string zoneMapPath, std::string placeFolder)
        : zoneMapPath_(std::move(zoneMapPath)), placeFolder_(std::move(placeFolder)) {}
    ZoneData(const ZoneData&) = delete;
    ZoneData& operator=(const ZoneData&) = delete;

    // The process's data for these paths: the same object for every caller.
    static std::shared_ptr<const ZoneData> shared(const std::string& zoneMapPath, const std::string& placeFolder);

    // nullptr when the file is missing, unreadable or damaged.
    const ZoneMap* map() const;
    // nullptr when a file of the folder is missing, unreadable or damaged.
    const PlaceFinder* places() const;

private:
    std::string zoneMapPath_, placeFolder_;
    mutable std::once_flag mapRead_, placesRead_;
    mutable std::optional<ZoneMap> map_;
    mutable std::shared_ptr<const PlaceFinder> places_;
};

}  // namespace geovanta

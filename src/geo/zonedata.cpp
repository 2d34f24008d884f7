#include "geo/zonedata.h"

#include <map>
#include <utility>

namespace geovanta {

std::shared_ptr<const ZoneData> ZoneData::shared(const std::string& zoneMapPath, const std::string& placeFolder) {
    static std::mutex lock;
    static std::map<std::pair<std::string, std::string>, std::shared_ptr<const ZoneData>> made;
    const std::lock_guard held(lock);
    auto& data = made[{zoneMapPath, placeFolder}];
    if (!data) data = std::make_shared<const ZoneData>(zoneMapPath, placeFolder);
    return data;
}

const ZoneMap* ZoneData::map() const {
    std::call_once(mapRead_, [this] {
        ZoneMapProblem problem = ZoneMapProblem::None;
        ZoneMap read = ZoneMap::read(zoneMapPath_, &problem);
        if (problem == ZoneMapProblem::None && !read.empty()) map_ = std::move(read);
    });
    return map_ ? &*map_ : nullptr;
}

const PlaceFinder* ZoneData::places() const {
    std::call_once(placesRead_, [this] {
        std::string error;
        places_ = PlaceFinder::shared(placeFolder_, error);
    });
    return places_.get();
}

}  // namespace geovanta

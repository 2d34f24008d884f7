// The time zones' borders from any bytes: a damaged file gives an empty map,
// and any map answers every point with a zone it can name.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "geo/zonemap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace geovanta;
    ZoneMapProblem problem = ZoneMapProblem::None;
    const ZoneMap map = ZoneMap::parse(std::string_view(reinterpret_cast<const char*>(data), size), &problem);
    if ((problem == ZoneMapProblem::None) == map.empty()) __builtin_trap();
    for (double lat = -90; lat <= 90; lat += 7.5)
        for (double lon = -180; lon <= 180; lon += 7.5) {
            const ZoneIndex zone = map.indexAt(lat, lon);
            if (!map.empty() && (zone == 0 || map.name(zone).empty())) __builtin_trap();
        }
    return 0;
}

// The borders data set's reader on any bytes: it takes them or refuses them,
// never reads past them, and what it took answers for any position.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "geo/countryborders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace geovanta;
    const auto borders = CountryBorders::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!borders) return 0;
    for (double lat = -90; lat <= 90; lat += 22.5)
        for (double lon = -180; lon <= 180; lon += 22.5) (void)borders->countryAt(lat, lon);
    return 0;
}

// The waypoint reader on any bytes: it must end with its rows, its rejection
// or its error, never crash or hang, and leave the table whole.
#include <cstddef>
#include <cstdint>

#include "input/waypointreader.h"
#include "readercheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace geovanta;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    fuzz::checkReader(
        bytes,
        [](DataTable& table, uint16_t&, std::string_view b) {
            return WaypointReader(table).loadBytes(b, fuzz::kPath);
        },
        false);
    return 0;
}

// The track reader on any bytes: it must end with its rows, its rejection or
// its error, never crash or hang, and leave the table whole.
#include <cstddef>
#include <cstdint>

#include "input/trackreader.h"
#include "readercheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace geovanta;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    fuzz::checkReader(
        bytes,
        [](DataTable& table, uint16_t& trackCounter, std::string_view b) {
            const uint16_t before = trackCounter;
            const LoadResult r = TrackReader(table, trackCounter).loadBytes(b, fuzz::kPath);
            // Counted once the header lines are through, whatever came next.
            const bool counted = trackCounter == static_cast<uint16_t>(before + 1);
            fuzz::check(counted || trackCounter == before);
            if (r.status == LoadResult::Status::Loaded || fuzz::failedLine(r.message) != 0) fuzz::check(counted);
            return r;
        },
        true);
    return 0;
}

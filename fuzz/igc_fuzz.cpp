// The IGC reader on any bytes: it must end with its rows, its rejection or
// its error, never crash or hang, and leave the table whole; a read ended by
// a damaged record keeps exactly the points of the lines before it.
#include <cstddef>
#include <cstdint>

#include "binding/calcpositions.h"
#include "input/igcreader.h"
#include "readercheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace geovanta;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    fuzz::checkReader(
        bytes,
        [](DataTable& table, uint16_t& trackCounter, std::string_view b) {
            GpsRead read(table, fuzz::kPath, trackCounter);
            const LoadResult r = readIgc(b, read);
            fuzz::check((r.status == LoadResult::Status::Rejected) == (trackCounter == 0));
            CalcPositions(table, BindingParams{});
            return r;
        },
        true);
    return 0;
}

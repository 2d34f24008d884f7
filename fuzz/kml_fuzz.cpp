// The KML reader on any bytes, as the TCX reader is (xmlreadercheck.h); and
// bytes that begin as a zip archive does go to the KMZ reader, with an
// entry's limit small enough that an archive unpacking without end is met.
#include <cstddef>
#include <cstdint>

#include "input/kmlreader.h"
#include "xmlreadercheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace geovanta;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (!bytes.starts_with("PK")) {
        fuzz::checkPieceReader(bytes, readKmlInPieces);
        return 0;
    }
    DataTable table;
    uint16_t tracks = 0;
    fuzz::addEarlierRow(table);
    GpsRead read(table, fuzz::kPath, tracks);
    const LoadResult r = readKmzWithLimit(bytes, read, 1 << 20);
    fuzz::checkTableWhole(table);
    if (r.status == LoadResult::Status::Rejected) fuzz::check(table.rowCount() == 1 && tracks == 0);
    fuzz::check(r.message.size() < 1024);
    return 0;
}

// The NMEA reader on any bytes: it must end with its rows or its rejection,
// never fail part way, crash or hang, and leave the table whole with every
// row a place on the earth; a file whose head looks like a log is a log.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "binding/calcpositions.h"
#include "input/nmeareader.h"
#include "readercheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace geovanta;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const bool looksLikeLog = looksLikeNmea(bytes.substr(0, 4096));
    fuzz::checkReader(
        bytes,
        [looksLikeLog](DataTable& table, uint16_t& trackCounter, std::string_view b) {
            GpsRead read(table, fuzz::kPath, trackCounter);
            const LoadResult r = readNmea(b, read);
            fuzz::check(r.status != LoadResult::Status::Failed);
            fuzz::check((r.status == LoadResult::Status::Rejected) == (trackCounter == 0));
            if (looksLikeLog) fuzz::check(r.status == LoadResult::Status::Loaded);
            for (std::size_t row = 0; row < table.rowCount(); ++row) {
                if (table.isPhoto(row)) continue;
                fuzz::check(std::fabs(table.real(row, FieldId::Lat)) <= 90);
                fuzz::check(std::fabs(table.real(row, FieldId::Lon)) <= 180);
            }
            CalcPositions(table, BindingParams{});
            return r;
        },
        true);
    return 0;
}

// The FIT reader on any bytes: it must end with its rows, its rejection or
// its error, never crash or hang, and keep the table whole; a read that
// fails at a byte offset must have the same rows as a read of the bytes
// before that offset, so that damage never changes the points before it.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "input/fitreader.h"
#include "input/gpsread.h"
#include "readercheck.h"

namespace {

using namespace geovanta;

struct Read {
    DataTable table;
    uint16_t tracks = 0;
    LoadResult result;
    explicit Read(std::string_view bytes) {
        fuzz::addEarlierRow(table);
        GpsRead read(table, fuzz::kPath, tracks);
        result = readFit(bytes, read);
        fuzz::check(table.suspendCount() == 0 && table.state() == DataTable::State::Browse);
        fuzz::check(fuzz::hasEarlierRow(table));
        fuzz::check(tracks <= 1);
        if (result.status == LoadResult::Status::Rejected) fuzz::check(table.rowCount() == 1 && tracks == 0);
    }
};

// The offset a failure names, or nothing.
std::optional<std::size_t> failedAt(const std::string& message) {
    const std::string tag = std::string("\n") + fuzz::kPath + ", byte ";
    const std::size_t at = message.rfind(tag);
    if (at == std::string::npos) return std::nullopt;
    return std::stoul(message.substr(at + tag.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const Read whole(bytes);
    for (std::size_t row = 1; row < whole.table.rowCount(); ++row) {
        fuzz::check(std::fabs(whole.table.real(row, FieldId::Lat)) <= 90);
        fuzz::check(std::fabs(whole.table.real(row, FieldId::Lon)) <= 180);
    }
    if (whole.result.status != LoadResult::Status::Failed) return 0;
    const std::optional<std::size_t> at = failedAt(whole.result.message);
    fuzz::check(at && *at <= size);
    const Read before(bytes.substr(0, *at));
    fuzz::check(before.table.rowCount() == whole.table.rowCount());
    for (std::size_t row = 0; row < whole.table.rowCount(); ++row) {
        fuzz::check(before.table.text(row, FieldId::Name) == whole.table.text(row, FieldId::Name));
        fuzz::check(before.table.timeMs(row, FieldId::Time) == whole.table.timeMs(row, FieldId::Time));
    }
    return 0;
}

// The location history reader on any bytes: it must end with its rows, its
// rejection or its error, never crash or hang, and leave the table whole; a
// rejected file appends nothing and counts no track; and parsing the file in
// pieces of a few bytes must give the same rows, counts and message (but for
// the byte of a syntax error) as parsing it in one.
#include <cstddef>
#include <cstdint>

#include "input/locationhistoryreader.h"
#include "readercheck.h"

namespace {

using namespace geovanta;

// The message up to the byte offset: where a token is cut between two pieces,
// the parser can point only at the second piece's start, inside the token,
// instead of the token's start; the line is the same.
std::string_view withoutByte(const std::string& message) {
    return std::string_view(message).substr(0, message.rfind(", byte "));
}

struct Outcome {
    DataTable table;
    uint16_t tracks = 0;
    GpsRead read{table, fuzz::kPath, tracks};
    LoadResult result;
};

void load(Outcome& out, std::string_view bytes, std::size_t pieceBytes) {
    fuzz::addEarlierRow(out.table);
    out.read.options.maxAccuracyM = 50;
    out.result = readLocationHistory(bytes, out.read, pieceBytes);
    fuzz::check(out.table.suspendCount() == 0);
    fuzz::check(out.table.state() == DataTable::State::Browse);
    fuzz::check(fuzz::hasEarlierRow(out.table));
    fuzz::check(out.result.message.size() < 1024);
    if (out.result.status == LoadResult::Status::Rejected)
        fuzz::check(out.table.rowCount() == 1 && out.tracks == 0 && out.read.stats.leftOut() == 0);
    fuzz::check(out.tracks <= 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Outcome whole, pieces;
    load(whole, bytes, std::size_t{1} << 20);
    load(pieces, bytes, 1 + size % 37);
    fuzz::check(whole.result.status == pieces.result.status);
    fuzz::check(withoutByte(whole.result.message) == withoutByte(pieces.result.message));
    fuzz::check(whole.tracks == pieces.tracks);
    fuzz::check(whole.read.stats.leftOut() == pieces.read.stats.leftOut());
    fuzz::check(whole.table.rowCount() == pieces.table.rowCount());
    for (std::size_t row = 0; row < whole.table.rowCount(); ++row) {
        fuzz::check(whole.table.text(row, FieldId::Name) == pieces.table.text(row, FieldId::Name));
        fuzz::check(whole.table.timeMs(row, FieldId::Time) == pieces.table.timeMs(row, FieldId::Time));
        fuzz::check(whole.table.real(row, FieldId::Lat) == pieces.table.real(row, FieldId::Lat));
    }
    return 0;
}

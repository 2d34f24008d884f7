// The GPX reader on any bytes: it must end with its rows, its rejection or
// its error, never crash or hang, and leave the table whole; and reading the
// file in pieces of a few bytes must give the same rows and the same message
// as reading it in one.
#include <cstddef>
#include <cstdint>

#include "input/gpxreader.h"
#include "readercheck.h"

namespace {

using namespace geovanta;

LoadResult loadInPieces(DataTable& table, uint16_t& tracks, std::string_view bytes, std::size_t pieceBytes) {
    fuzz::addEarlierRow(table);
    GpxReader reader(table, tracks);
    reader.setPieceBytes(pieceBytes);
    const LoadResult r = reader.loadBytes(bytes, fuzz::kPath);
    fuzz::checkTableWhole(table);
    return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    DataTable whole, pieces;
    uint16_t wholeTracks = 0, pieceTracks = 0;
    const LoadResult a = loadInPieces(whole, wholeTracks, bytes, 0);
    if (a.status == LoadResult::Status::Rejected) fuzz::check(whole.rowCount() == 1 && wholeTracks == 0);
    fuzz::check(a.message.size() < 1024);

    const LoadResult b = loadInPieces(pieces, pieceTracks, bytes, 1 + size % 37);
    fuzz::check(a.status == b.status && a.message == b.message && wholeTracks == pieceTracks);
    fuzz::check(whole.rowCount() == pieces.rowCount());
    for (std::size_t row = 0; row < whole.rowCount(); ++row) {
        fuzz::check(whole.text(row, FieldId::Name) == pieces.text(row, FieldId::Name));
        fuzz::check(whole.timeMs(row, FieldId::Time) == pieces.timeMs(row, FieldId::Time));
        fuzz::check(whole.real(row, FieldId::Lat) == pieces.real(row, FieldId::Lat));
    }
    return 0;
}

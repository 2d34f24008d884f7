#pragma once
// What must hold after an XML GPS reader took any bytes, whole and in
// pieces of a few bytes: the same status, message, tracks and rows both
// ways, a rejection with nothing appended, and the table whole.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "input/gpsread.h"
#include "readercheck.h"

namespace geovanta::fuzz {

using PieceReader = LoadResult (*)(std::string_view, GpsRead&, std::size_t);

inline void checkPieceReader(std::string_view bytes, PieceReader reader) {
    DataTable whole, pieces;
    uint16_t wholeTracks = 0, pieceTracks = 0;
    auto load = [&](DataTable& table, uint16_t& tracks, std::size_t pieceBytes) {
        addEarlierRow(table);
        GpsRead read(table, kPath, tracks);
        const LoadResult r = reader(bytes, read, pieceBytes);
        checkTableWhole(table);
        return r;
    };
    const LoadResult a = load(whole, wholeTracks, std::size_t{1} << 20);
    if (a.status == LoadResult::Status::Rejected) check(whole.rowCount() == 1 && wholeTracks == 0);
    check(a.message.size() < 1024);

    const LoadResult b = load(pieces, pieceTracks, 1 + bytes.size() % 37);
    check(a.status == b.status && a.message == b.message && wholeTracks == pieceTracks);
    check(whole.rowCount() == pieces.rowCount());
    for (std::size_t row = 0; row < whole.rowCount(); ++row) {
        check(whole.text(row, FieldId::Name) == pieces.text(row, FieldId::Name));
        check(whole.timeMs(row, FieldId::Time) == pieces.timeMs(row, FieldId::Time));
        check(whole.real(row, FieldId::Lat) == pieces.real(row, FieldId::Lat));
    }
}

}  // namespace geovanta::fuzz

#pragma once
// What must hold after the track or waypoint reader took any bytes: the table
// is whole and shown again, rows already there stay, rows come in shifted-time
// order, and a load ended by a bad line keeps exactly the rows of the lines
// before it.

#include <cstdint>
#include <string>
#include <string_view>

#include "input/loadresult.h"
#include "input/pointfields.h"
#include "input/fieldsplit.h"
#include "input/wholefile.h"
#include "table/textlines.h"
#include "table/datatable.h"
#include "table/datetime.h"

namespace geovanta::fuzz {

inline constexpr const char* kPath = "fuzz-input";

inline void check(bool ok) {
    if (!ok) __builtin_trap();
}

// A photograph loaded earlier, which every load must keep.
inline void addEarlierRow(DataTable& table) {
    PointFields f;
    f.timeMs = daysToMs(40513.47);
    appendPointRow(table, 'F', "earlier", f);
}

inline bool hasEarlierRow(const DataTable& table) {
    for (std::size_t row = 0; row < table.rowCount(); ++row)
        if (table.text(row, FieldId::Name) == "earlier" && table.isPhoto(row)) return true;
    return false;
}

inline void checkTableWhole(const DataTable& table) {
    check(table.suspendCount() == 0);
    check(table.state() == DataTable::State::Browse);
    check(hasEarlierRow(table));
    for (std::size_t row = 1; row < table.rowCount(); ++row) {
        const int64_t a = table.timeMs(row - 1, FieldId::VTime), b = table.timeMs(row, FieldId::VTime);
        check(a < b || (a == b && table.creationNumber(row - 1) < table.creationNumber(row)));
    }
}

// The line a data-line error names, or 0 for an error of the whole file.
inline std::size_t failedLine(const std::string& message) {
    const std::string tag = std::string("\n") + kPath + ", line ";
    const std::size_t at = message.rfind(tag);
    if (at == std::string::npos) return 0;
    return std::stoul(message.substr(at + tag.size()));
}

// The bytes in front of line `number` (1-based).
inline std::string_view linesBefore(std::string_view bytes, std::size_t number) {
    TextLines lines(bytes, TextLines::NulByte::Ordinary);
    std::string_view line;
    while (lines.next(line))
        if (lines.lineNumber() == number) return bytes.substr(0, static_cast<std::size_t>(line.data() - bytes.data()));
    __builtin_trap();
}

// Runs `load(table, trackCounter, bytes)` and checks the rules above; a reader that
// does not count tracks must leave the track counter alone.
template <typename Load>
void checkReader(std::string_view bytes, Load load, bool countsTracks) {
    DataTable table;
    uint16_t trackCounter = 0;
    addEarlierRow(table);
    const LoadResult result = load(table, trackCounter, bytes);
    checkTableWhole(table);
    if (result.status == LoadResult::Status::Rejected) {
        check(table.rowCount() == 1);
        check(trackCounter == 0);
        return;
    }
    if (!countsTracks) check(trackCounter == 0);
    if (result.status == LoadResult::Status::Loaded) return;
    const std::size_t line = failedLine(result.message);
    if (line == 0) {
        check(table.rowCount() == 1);
        return;
    }
    check(result.message.size() < 1024);  // a huge field is not quoted whole
    DataTable again;
    uint16_t trackCounter2 = 0;
    addEarlierRow(again);
    const LoadResult before = load(again, trackCounter2, linesBefore(bytes, line));
    // Without its first data line a waypoint file is too short to pass.
    check(before.status == LoadResult::Status::Loaded ||
          (before.status == LoadResult::Status::Rejected && table.rowCount() == 1));
    check(again.rowCount() == table.rowCount());
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        check(again.text(row, FieldId::Name) == table.text(row, FieldId::Name));
        check(again.timeMs(row, FieldId::Time) == table.timeMs(row, FieldId::Time));
    }
}

}  // namespace geovanta::fuzz

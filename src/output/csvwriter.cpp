#include "output/csvwriter.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "table/datatable.h"
#include "table/datetime.h"
#include "table/formatcoord.h"
#include "table/numbertext.h"
#include "table/textcodec.h"

namespace geovanta {
namespace {

constexpr FieldId kColumns[] = {FieldId::Stat,  FieldId::Name,     FieldId::Time, FieldId::Lat,  FieldId::Lon,
                                FieldId::Elev,  FieldId::Dist,     FieldId::Speed, FieldId::VTime,
                                FieldId::FileName, FieldId::Type, FieldId::VLat, FieldId::VLon, FieldId::VElev};

// A million rows make some hundred megabytes of text; it goes to the stream
// in blocks of this many rows.
constexpr std::size_t kBlockRows = 8192;
constexpr std::size_t kMaxThreads = 4;

bool needsQuotes(std::string_view text) {
    for (char c : text)
        if (c == ',' || c == '"' || c == '\r' || c == '\n') return true;
    return false;
}

void appendQuoted(std::string& out, std::string_view text) {
    if (!needsQuotes(text)) {
        out.append(text);
        return;
    }
    out.push_back('"');
    for (char c : text) {
        if (c == '"') out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}

bool isAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

void appendText(std::string& out, std::string_view bytes) {
    // Plain ASCII is its own UTF-8; only other text needs converting.
    if (isAscii(bytes))
        appendQuoted(out, bytes);
    else
        appendQuoted(out, displayUtf8(bytes));
}

void appendCell(std::string& out, const DataTable& t, std::size_t row, FieldId f) {
    switch (f) {
        case FieldId::VLat: appendCoord(out, "SN", t.real(row, FieldId::Lat)); return;
        case FieldId::VLon: appendCoord(out, "WE", t.real(row, FieldId::Lon)); return;
        case FieldId::VElev: appendInteger(out, t.vElev(row)); return;
        default: break;
    }
    const FieldInfo& info = fieldInfo(f);
    if (info.calculated) return appendQuoted(out, t.asString(row, f));
    if (t.isNull(row, f)) return;
    switch (info.kind) {
        case FieldKind::Text: appendText(out, t.text(row, f)); return;
        case FieldKind::DateTime: appendIsoDayTime(out, t.timeMs(row, f)); return;
        case FieldKind::Real: appendShortest(out, t.real(row, f)); return;
        case FieldKind::Integer: appendQuoted(out, t.asString(row, f)); return;
    }
}

void appendRows(std::string& out, const DataTable& table, std::size_t begin, std::size_t end) {
    for (std::size_t row = begin; row < end; ++row) {
        bool firstColumn = true;
        for (FieldId f : kColumns) {
            if (!firstColumn) out.push_back(',');
            appendCell(out, table, row, f);
            firstColumn = false;
        }
        out += "\r\n";
    }
}

void writeAll(std::ostream& out, const std::string& text) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace

void CsvWriter::write(const DataTable& table, std::ostream& out) {
    std::string header;
    for (FieldId f : kColumns) {
        if (!header.empty()) header.push_back(',');
        header += fieldInfo(f).name;
    }
    header += "\r\n";
    writeAll(out, header);

    // Rows are formatted in blocks, several blocks at once on a machine with
    // cores to spare, and written in table order. The table is only read.
    const std::size_t rows = table.rowCount();
    const std::size_t threads =
        rows < 2 * kBlockRows ? 1 : std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, kMaxThreads);
    std::vector<std::string> blocks(threads);
    for (std::size_t begin = 0; begin < rows; begin += threads * kBlockRows) {
        auto format = [&](std::size_t k) {
            const std::size_t from = std::min(rows, begin + k * kBlockRows);
            blocks[k].clear();
            appendRows(blocks[k], table, from, std::min(rows, from + kBlockRows));
        };
        std::vector<std::jthread> helpers;
        for (std::size_t k = 1; k < threads; ++k) helpers.emplace_back(format, k);
        format(0);
        helpers.clear();  // joins
        for (const std::string& block : blocks) writeAll(out, block);
    }
}

}  // namespace geovanta

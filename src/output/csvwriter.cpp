#include "output/csvwriter.h"

#include <algorithm>
#include <cstring>
#include <memory>
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

// A million rows make some hundred and fifty megabytes of text; it goes to
// the stream in blocks of this many rows.
constexpr std::size_t kBlockRows = 8192;
constexpr std::size_t kMaxThreads = 4;

// Text of one block, written straight into its memory: a cell asks for the
// room it may need and says where it ended.
class Block {
public:
    char* room(std::size_t bytes) {
        if (used_ + bytes > capacity_) {
            capacity_ = std::max(2 * capacity_, used_ + bytes);
            auto bigger = std::make_unique<char[]>(capacity_);
            std::memcpy(bigger.get(), data_.get(), used_);
            data_ = std::move(bigger);
        }
        return data_.get() + used_;
    }
    void end(char* at) { used_ = static_cast<std::size_t>(at - data_.get()); }
    void put(char c) { end(room(1) + 1), data_[used_ - 1] = c; }
    void clear() { used_ = 0; }
    const char* data() const { return data_.get(); }
    std::size_t size() const { return used_; }

private:
    std::unique_ptr<char[]> data_;
    std::size_t used_ = 0, capacity_ = 0;
};

bool needsQuotes(std::string_view text) {
    for (char c : text)
        if (c == ',' || c == '"' || c == '\r' || c == '\n') return true;
    return false;
}

void putQuoted(Block& out, std::string_view text) {
    char* p = out.room(2 * text.size() + 2);
    if (!needsQuotes(text)) {
        out.end(std::copy(text.begin(), text.end(), p));
        return;
    }
    *p++ = '"';
    for (char c : text) {
        if (c == '"') *p++ = '"';
        *p++ = c;
    }
    *p++ = '"';
    out.end(p);
}

bool isAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

void putText(Block& out, std::string_view bytes) {
    // Plain ASCII is its own UTF-8; only other text needs converting.
    if (isAscii(bytes))
        putQuoted(out, bytes);
    else
        putQuoted(out, displayUtf8(bytes));
}

void putCell(Block& out, const DataTable& t, std::size_t row, FieldId f) {
    switch (f) {
        case FieldId::VLat: return out.end(putCoord(out.room(kNumberTextMax), "SN", t.real(row, FieldId::Lat)));
        case FieldId::VLon: return out.end(putCoord(out.room(kNumberTextMax), "WE", t.real(row, FieldId::Lon)));
        case FieldId::VElev: return out.end(putInteger(out.room(kNumberTextMax), t.vElev(row)));
        default: break;
    }
    const FieldInfo& info = fieldInfo(f);
    if (info.calculated) return putQuoted(out, t.asString(row, f));
    if (t.isNull(row, f)) return;
    switch (info.kind) {
        case FieldKind::Text: return putText(out, t.text(row, f));
        case FieldKind::DateTime: return out.end(putIsoDayTime(out.room(48), t.timeMs(row, f)));
        case FieldKind::Real: return out.end(putShortest(out.room(kNumberTextMax), t.real(row, f)));
        case FieldKind::Integer: return putQuoted(out, t.asString(row, f));
    }
}

void putRows(Block& out, const DataTable& table, std::size_t begin, std::size_t end) {
    for (std::size_t row = begin; row < end; ++row) {
        bool firstColumn = true;
        for (FieldId f : kColumns) {
            if (!firstColumn) out.put(',');
            putCell(out, table, row, f);
            firstColumn = false;
        }
        out.put('\r');
        out.put('\n');
    }
}

}  // namespace

void CsvWriter::write(const DataTable& table, std::ostream& out) {
    std::string header;
    for (FieldId f : kColumns) {
        if (!header.empty()) header.push_back(',');
        header += fieldInfo(f).name;
    }
    header += "\r\n";
    out.write(header.data(), static_cast<std::streamsize>(header.size()));

    // Rows are formatted in blocks, several blocks at once on a machine with
    // cores to spare, and written in table order. The table is only read.
    const std::size_t rows = table.rowCount();
    const std::size_t threads =
        rows < 2 * kBlockRows ? 1 : std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, kMaxThreads);
    std::vector<Block> blocks(threads);
    for (std::size_t begin = 0; begin < rows; begin += threads * kBlockRows) {
        auto format = [&](std::size_t k) {
            const std::size_t from = std::min(rows, begin + k * kBlockRows);
            blocks[k].clear();
            putRows(blocks[k], table, from, std::min(rows, from + kBlockRows));
        };
        std::vector<std::jthread> helpers;
        for (std::size_t k = 1; k < threads; ++k) helpers.emplace_back(format, k);
        format(0);
        helpers.clear();  // joins
        for (const Block& block : blocks) out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
}

}  // namespace geovanta

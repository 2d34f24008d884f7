#include "output/csvwriter.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "table/datatable.h"
#include "table/datetime.h"
#include "table/formatcoord.h"
#include "table/numbertext.h"
#include "table/position.h"
#include "table/textcodec.h"

namespace geovanta {
namespace {

constexpr FieldId kColumns[] = {FieldId::Stat,  FieldId::Name,     FieldId::Time, FieldId::Lat,  FieldId::Lon,
                                FieldId::Elev,  FieldId::Dist,     FieldId::Speed, FieldId::VTime,
                                FieldId::FileName, FieldId::Type, FieldId::VLat, FieldId::VLon, FieldId::VElev};

// A million rows make some hundred and fifty megabytes of text; it goes to
// the stream in blocks of this many rows.
constexpr std::size_t kBlockRows = 8192;

// Text of one block, written straight into its memory: a cell asks for the
// room it may need and says where it ended.
class Block {
public:
    char* room(std::size_t bytes) {
        if (used_ + bytes > capacity_) {
            capacity_ = std::max(2 * capacity_, used_ + bytes);
            auto bigger = std::make_unique<char[]>(capacity_);
            if (used_) std::memcpy(bigger.get(), data_.get(), used_);
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

void putText(Block& out, const DataTable& t, std::size_t row, FieldId f) {
    // Plain ASCII is its own UTF-8; only other text needs converting, as the
    // grid shows it.
    const std::string_view bytes = t.text(row, f);
    if (isAscii(bytes))
        putQuoted(out, bytes);
    else
        putQuoted(out, t.displayText(row, f));
}

// A row's VTime is its Time unless an offset moved it: the text made for one
// serves the other.
struct LastTime {
    int64_t ms = 0;
    char text[48];
    std::size_t size = 0;
};

void putTime(Block& out, int64_t ms, LastTime& last) {
    char* at = out.room(sizeof last.text);
    if (last.size && ms == last.ms) return out.end(std::copy(last.text, last.text + last.size, at));
    char* end = putIsoDayTime(at, ms);
    last.ms = ms;
    last.size = static_cast<std::size_t>(end - at);
    std::copy(at, end, last.text);
    out.end(end);
}

void putCell(Block& out, const DataTable& t, std::size_t row, FieldId f, LastTime& lastTime) {
    // The view's fields stay empty where the grid shows nothing.
    switch (f) {
        case FieldId::VLat:
            if (!showsCoordinate(t, row, FieldId::Lat)) return;
            return out.end(putCoord(out.room(kNumberTextMax), "SN", t.real(row, FieldId::Lat)));
        case FieldId::VLon:
            if (!showsCoordinate(t, row, FieldId::Lon)) return;
            return out.end(putCoord(out.room(kNumberTextMax), "WE", t.real(row, FieldId::Lon)));
        case FieldId::VElev:
            if (!showsAltitude(t, row)) return;
            return out.end(putInteger(out.room(kNumberTextMax), t.vElev(row)));
        default: break;
    }
    const FieldInfo& info = fieldInfo(f);
    if (info.calculated) return putQuoted(out, t.asString(row, f));
    if (t.isNull(row, f)) return;
    switch (info.kind) {
        case FieldKind::Text: return putText(out, t, row, f);
        case FieldKind::DateTime: return putTime(out, t.timeMs(row, f), lastTime);
        case FieldKind::Real: return out.end(putShortest(out.room(kNumberTextMax), t.real(row, f)));
        case FieldKind::Integer: return putQuoted(out, t.asString(row, f));
    }
}

}  // namespace

void CsvWriter::write(const DataTable& table, std::ostream& out) {
    Block block;
    for (FieldId f : kColumns) {
        if (block.size()) block.put(',');
        const std::string_view name = fieldInfo(f).name;
        block.end(std::copy(name.begin(), name.end(), block.room(name.size())));
    }
    block.put('\r');
    block.put('\n');
    LastTime lastTime;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        bool firstColumn = true;
        for (FieldId f : kColumns) {
            if (!firstColumn) block.put(',');
            putCell(block, table, row, f, lastTime);
            firstColumn = false;
        }
        block.put('\r');
        block.put('\n');
        if ((row + 1) % kBlockRows == 0) {
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
            block.clear();
        }
    }
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
}

}  // namespace geovanta

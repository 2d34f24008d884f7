#include "output/csvwriter.h"

#include <algorithm>
#include <cstring>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "table/datatable.h"
#include "table/datetime.h"
#include "table/formatcoord.h"
#include "table/numbertext.h"
#include "table/position.h"
#include "table/textcodec.h"

namespace geovanta {
namespace {

// The header; putRow writes the cells in this order.
constexpr FieldId kColumns[] = {FieldId::Stat,  FieldId::Name,     FieldId::Time, FieldId::Lat,  FieldId::Lon,
                                FieldId::Elev,  FieldId::Dist,     FieldId::Speed, FieldId::VTime,
                                FieldId::FileName, FieldId::Type, FieldId::VLat, FieldId::VLon, FieldId::VElev,
                                FieldId::Camera, FieldId::City, FieldId::State, FieldId::Country,
                                FieldId::CountryCode};

// A million rows make some hundred and fifty megabytes of text; it goes to
// the stream in blocks of this many rows, small enough that the two blocks in
// hand (some 300 kB each) add little to the table's memory.
constexpr std::size_t kBlockRows = 2048;

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

void putNumber(Block& out, const std::optional<double>& value) {
    if (value) out.end(putShortest(out.room(kNumberTextMax), *value));
}

std::string_view typeText(char stat) {
    switch (stat) {
        case 'F': return "Фото";
        case 'P': return "Точка";
        case 'T': return "Трек";
        default: return {};
    }
}

// One row, its stored values looked up once each: the view's fields are
// made from the same values as the stored ones beside them. The view's
// fields stay empty where the grid shows nothing.
void putRow(Block& out, const DataTable& t, std::size_t row, LastTime& lastTime, bool placeNames) {
    auto comma = [&out] { out.put(','); };
    auto text = [&](FieldId f) {
        if (!t.isNull(row, f)) putText(out, t, row, f);
    };
    auto time = [&](FieldId f) {
        if (!t.isNull(row, f)) putTime(out, t.timeMs(row, f), lastTime);
    };
    const std::optional<double> lat = t.optReal(row, FieldId::Lat), lon = t.optReal(row, FieldId::Lon),
                                elev = t.optReal(row, FieldId::Elev);
    text(FieldId::Stat), comma();
    text(FieldId::Name), comma();
    time(FieldId::Time), comma();
    putNumber(out, lat), comma();
    putNumber(out, lon), comma();
    putNumber(out, elev), comma();
    putNumber(out, t.optReal(row, FieldId::Dist)), comma();
    putNumber(out, t.optReal(row, FieldId::Speed)), comma();
    time(FieldId::VTime), comma();
    text(FieldId::FileName), comma();
    const std::string_view type = typeText(t.stat(row));
    out.end(std::copy(type.begin(), type.end(), out.room(type.size()))), comma();
    // A photograph without a position has no coordinates to show.
    const bool placed = !t.isPhoto(row) || hasPosition(t, row);
    if (lat && placed) out.end(putCoord(out.room(kNumberTextMax), "SN", *lat));
    comma();
    if (lon && placed) out.end(putCoord(out.room(kNumberTextMax), "WE", *lon));
    comma();
    if (elev && *elev != kNoAltitudeFeet) out.end(putInteger(out.room(kNumberTextMax), t.vElev(row)));
    comma();
    if (t.isPhoto(row)) putQuoted(out, t.cameraText(row));
    // Names are kept as valid UTF-8 whoever gave them.
    const PlaceNames* place = t.placeNames(row);
    for (std::size_t k = 0; placeNames && k < kPlaceParts; ++k) {
        comma();
        if (place) putQuoted(out, place->text[k]);
    }
    out.put('\r');
    out.put('\n');
}

}  // namespace

namespace {

// Rows [from, to) into `block`, after what it holds.
void putRows(Block& block, const DataTable& table, std::size_t from, std::size_t to, bool placeNames) {
    LastTime lastTime;
    for (std::size_t row = from; row < to; ++row) putRow(block, table, row, lastTime, placeNames);
}

void flush(Block& block, std::ostream& out) {
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
    block.clear();
}

}  // namespace

void CsvWriter::write(const DataTable& table, std::ostream& out, bool placeNames) {
    Block block;
    for (FieldId f : kColumns) {
        if (!placeNames && placePartOf(f)) break;
        if (block.size()) block.put(',');
        const std::string_view name = fieldInfo(f).name;
        block.end(std::copy(name.begin(), name.end(), block.room(name.size())));
    }
    block.put('\r');
    block.put('\n');
    const std::size_t rows = table.rowCount();
    auto blockEnd = [rows](std::size_t from) { return std::min(rows, from + kBlockRows); };
    // Formatting costs far more than writing: with a second core, every
    // other block is formatted there meanwhile. The table is only read.
    const bool sideBySide = rows > kBlockRows && std::thread::hardware_concurrency() > 1;
    Block other;
    for (std::size_t from = 0; from < rows; from += (sideBySide ? 2 : 1) * kBlockRows) {
        const std::size_t next = blockEnd(from);
        std::future<void> formatted;
        if (sideBySide && next < rows)
            formatted = std::async(std::launch::async,
                                   [&, next] { putRows(other, table, next, blockEnd(next), placeNames); });
        putRows(block, table, from, next, placeNames);
        flush(block, out);
        if (formatted.valid()) {
            formatted.get();
            flush(other, out);
        }
    }
    flush(block, out);
}

}  // namespace geovanta

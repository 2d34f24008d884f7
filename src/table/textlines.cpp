#include "table/textlines.h"

#include <cstdint>
#include <cstring>

namespace geovanta {
namespace {

bool isLineEnd(char c) { return c == '\n' || c == '\r' || c == '\0'; }

// Position of the first CR, LF or NUL at or after `i`, or `size`.
std::size_t findLineEnd(const char* data, std::size_t i, std::size_t size) {
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    constexpr uint64_t kToCR = 0x7272727272727272ULL;  // 0x80 - 0x0E in every byte
    for (;;) {
        // Eight bytes at a time past words with no byte below 0x0E.
        while (i + 8 <= size) {
            uint64_t word;
            std::memcpy(&word, data + i, 8);
            if ((~(((word & kLow7) + kToCR) | word) & ~kLow7) != 0) break;
            i += 8;
        }
        const std::size_t stop = i + 8 < size ? i + 8 : size;
        for (; i < stop; ++i)
            if (isLineEnd(data[i])) return i;
        if (i >= size) return size;
    }
}

}  // namespace

bool TextLines::next(std::string_view& line) {
    if (ended_ || pos_ >= text_.size()) return false;
    const char* const data = text_.data();
    const std::size_t size = text_.size();
    const std::size_t start = pos_;
    std::size_t i = findLineEnd(data, start, size);
    if (nul_ == NulByte::Ordinary)
        while (i < size && data[i] == '\0') i = findLineEnd(data, i + 1, size);
    line = std::string_view(data + start, i - start);
    ++number_;
    if (i >= size || data[i] == '\0') {
        ended_ = true;
    } else if (i + 1 < size && (data[i] == '\r' ? data[i + 1] == '\n' : data[i] == '\n' && data[i + 1] == '\r')) {
        // CR LF, and LF CR as some converters write it: one line end, not a
        // blank line that would push the header lines out of place.
        pos_ = i + 2;
    } else {
        pos_ = i + 1;
    }
    return true;
}

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> out;
    TextLines lines(text, TextLines::NulByte::Ordinary);
    std::string_view line;
    while (lines.next(line)) out.emplace_back(line);
    return out;
}

}  // namespace geovanta

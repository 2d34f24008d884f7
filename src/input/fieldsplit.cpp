#include "input/fieldsplit.h"

#include <algorithm>
#include <cstring>

namespace geovanta {

uint16_t CharCount(std::string_view text, char c) {
    // Eight bytes at a time: every line of a big file is counted.
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    const uint64_t pattern = kOnes * static_cast<unsigned char>(c);
    std::size_t count = 0, i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        const uint64_t x = word ^ pattern;  // zero bytes where the character is
        const uint64_t nonZero = ((x & kLow7) + kLow7) | x;
        // One bit per matching byte, moved to the byte's lowest bit; the
        // multiplication sums the eight bytes into the top one.
        count += static_cast<std::size_t>((((~nonZero & ~kLow7) >> 7) * kOnes) >> 56);
    }
    for (; i < text.size(); ++i) count += text[i] == c;
    // Wider while counting, the same low 16 bits as a 16-bit counter.
    return static_cast<uint16_t>(count);
}

std::size_t countByte(std::string_view text, char c) {
    // Lanes of byte counters, which the compiler turns into vector compares,
    // emptied before they can overflow.
    const char* p = text.data();
    const std::size_t size = text.size();
    std::size_t count = 0, i = 0;
    while (size - i >= 16) {
        const std::size_t blockEnd = i + std::min<std::size_t>((size - i) / 16, 255) * 16;
        unsigned char lanes[16] = {};
        for (; i < blockEnd; i += 16)
            for (int k = 0; k < 16; ++k) lanes[k] = static_cast<unsigned char>(lanes[k] + (p[i + k] == c));
        for (unsigned char lane : lanes) count += lane;
    }
    for (; i < size; ++i) count += p[i] == c;
    return count;
}

std::string_view fieldOf(std::string_view line, char delim, int n) {
    if (n < 1) return {};
    std::size_t start = 0;
    for (int k = 1; k < n; ++k) {
        const std::size_t comma = line.find(delim, start);
        if (comma == std::string_view::npos) return {};
        start = comma + 1;
    }
    const std::size_t end = line.find(delim, start);
    return line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

void splitFields(std::string_view line, char delim, std::span<std::string_view> fields) {
    // Fields are short: a plain loop beats a library search per field.
    const char* p = line.data();
    const char* const end = p + line.size();
    for (std::string_view& field : fields) {
        const char* start = p;
        while (p != end && *p != delim) ++p;
        field = std::string_view(start, static_cast<std::size_t>(p - start));
        if (p != end) ++p;  // past the delimiter; at the end every further field is empty
    }
}

}  // namespace geovanta

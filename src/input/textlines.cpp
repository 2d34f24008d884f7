#include "input/textlines.h"

#include <cstring>

#include "input/positionedfile.h"

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
    const std::size_t i = findLineEnd(data, start, size);
    line = std::string_view(data + start, i - start);
    ++number_;
    if (i >= size || data[i] == '\0') {
        ended_ = true;
    } else if (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n') {
        pos_ = i + 2;
    } else {
        pos_ = i + 1;
    }
    return true;
}

std::optional<std::string> readWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    // Refuses pipes and devices without blocking: a FIFO would wait for a
    // writer forever and /dev/zero never ends.
    PositionedFile file;
    if (file.open(path) != PositionedFile::OpenResult::Opened) return cannotOpenMessage(path);
    if (file.size() > kMaxWholeFileBytes) return tooLargeMessage(path);
    bytes.resize(static_cast<std::size_t>(file.size()));
    const long long got = file.readAt(0, bytes.data(), bytes.size());
    if (got < 0) {
        bytes.clear();
        return cannotOpenMessage(path);
    }
    bytes.resize(static_cast<std::size_t>(got));  // the file shrank meanwhile
    return std::nullopt;
}

std::string cannotOpenMessage(const std::string& path) { return "Cannot open file " + path; }

std::string tooLargeMessage(const std::string& path) {
    return "File " + path + " is too large (more than " + std::to_string(kMaxWholeFileBytes >> 20) + " MB)";
}

std::string listIndexMessage(std::size_t index) { return "List index out of bounds (" + std::to_string(index) + ")"; }

}  // namespace geovanta

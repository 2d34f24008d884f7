#pragma once
// Boxes of an ISO base media file (HEIF, HEIC, AVIF, Canon's CR3): each is a
// 32-bit size and a four-letter type, a 64-bit size after them when the
// 32-bit one is 1, and a 16-byte user type after those for type "uuid".
// Headers are read from the file or from bytes already in memory; every walk
// is bounded by its enclosing box and by a count.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "input/exifread.h"

namespace geovanta {

constexpr uint32_t fourCC(const char (&s)[5]) {
    return uint32_t{static_cast<unsigned char>(s[0])} << 24 | uint32_t{static_cast<unsigned char>(s[1])} << 16 |
           uint32_t{static_cast<unsigned char>(s[2])} << 8 | uint32_t{static_cast<unsigned char>(s[3])};
}

struct Box {
    uint32_t type = 0;
    uint64_t start = 0;    // the box's first byte
    uint64_t payload = 0;  // the first byte after its header
    uint64_t end = 0;      // the byte after it; may lie beyond its container in a damaged file
    std::array<unsigned char, 16> userType{};
};

// The header at `at` from the `available` bytes at `p`, inside a container
// that ends at `limit` (a size of 0 runs to there). Nothing when the bytes
// hold no whole header or the sizes contradict each other.
std::optional<Box> parseBox(const unsigned char* p, std::size_t available, uint64_t at, uint64_t limit);

// At most this many boxes are looked at on one level of a walk.
inline constexpr int kMaxBoxesPerLevel = 1024;

// Calls `visit(box)` for each box from `begin` to `end` of the file, reading
// only their headers, until `visit` returns true or the boxes run out; a box
// reaching past `end` is the last one visited.
template <typename Visit>
void walkFileBoxes(PositionedFile& file, uint64_t begin, uint64_t end, Visit&& visit) {
    uint64_t pos = begin;
    for (int n = 0; n < kMaxBoxesPerLevel && pos < end; ++n) {
        unsigned char head[32];
        const std::size_t got = readUpTo(file, pos, head, sizeof head);
        const std::optional<Box> box = parseBox(head, got, pos, end);
        if (!box || visit(*box) || box->end > end) return;
        pos = box->end;
    }
}

// Big-endian numbers of 0 to 8 bytes from bytes in memory, never past their end.
class ByteCursor {
public:
    ByteCursor(const unsigned char* p, std::size_t size) : p_(p), left_(size) {}
    // A number of `bytes` bytes (0 gives 0); false once anything ran short.
    uint64_t take(std::size_t bytes);
    void skip(std::size_t bytes);
    bool ok() const { return ok_; }
    std::size_t left() const { return left_; }
    const unsigned char* here() const { return p_; }

private:
    const unsigned char* p_;
    std::size_t left_;
    bool ok_ = true;
};

}  // namespace geovanta

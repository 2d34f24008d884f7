#include "input/isoboxes.h"

#include <cstring>

namespace geovanta {

std::optional<Box> parseBox(const unsigned char* p, std::size_t available, uint64_t at, uint64_t limit) {
    if (available < 8 || at >= limit) return std::nullopt;
    Box box;
    box.type = be32(p + 4);
    box.start = at;
    uint64_t size = be32(p);
    std::size_t header = 8;
    if (size == 1) {
        if (available < 16) return std::nullopt;
        size = be64(p + 8);
        header = 16;
    } else if (size == 0) {
        size = limit - at;
    }
    if (box.type == fourCC("uuid")) {
        if (available < header + 16) return std::nullopt;
        std::memcpy(box.userType.data(), p + header, 16);
        header += 16;
    }
    if (size < header || size > UINT64_MAX - at) return std::nullopt;
    box.payload = at + header;
    box.end = at + size;
    return box;
}

uint64_t ByteCursor::take(std::size_t bytes) {
    if (!ok_ || bytes > left_ || bytes > 8) {
        ok_ = false;
        return 0;
    }
    uint64_t value = 0;
    for (std::size_t k = 0; k < bytes; ++k) value = value << 8 | p_[k];
    p_ += bytes;
    left_ -= bytes;
    return value;
}

void ByteCursor::skip(std::size_t bytes) {
    if (!ok_ || bytes > left_) {
        ok_ = false;
        return;
    }
    p_ += bytes;
    left_ -= bytes;
}

}  // namespace geovanta

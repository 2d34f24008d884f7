#pragma once
// Bounded reads of a photograph for the EXIF reader and the container walks
// that lead it to the EXIF data: every read names its offset and its length,
// and a read the file cannot satisfy is an ExifError.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "input/positionedfile.h"

namespace geovanta {

// A read error that ends ReadExif: "Read beyond end of file" for a damaged
// or truncated file, or a file-layer message ("I/O error 5").
class ExifError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "Read beyond end of file" in the process's language.
std::string readBeyondEndMessage();

// Message of the file layer for a system error code.
std::string fileLayerMessage(int code);

// Exactly `count` bytes at `pos`; readBeyondEndMessage() when the file ends first.
void readExact(PositionedFile& file, uint64_t pos, void* buffer, std::size_t count);
// Up to `count` bytes at `pos`, fewer only at the end of the file.
std::size_t readUpTo(PositionedFile& file, uint64_t pos, void* buffer, std::size_t count);

// True when `count` bytes at `pos` lie inside the file.
inline bool fitsIn(const PositionedFile& file, uint64_t pos, uint64_t count) {
    return pos <= file.size() && count <= file.size() - pos;
}

inline uint16_t be16(const unsigned char* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
inline uint32_t be32(const unsigned char* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | uint32_t{p[3]};
}
inline uint64_t be64(const unsigned char* p) { return uint64_t{be32(p)} << 32 | be32(p + 4); }
inline uint16_t le16(const unsigned char* p) { return static_cast<uint16_t>(p[1] << 8 | p[0]); }
inline uint32_t le32(const unsigned char* p) {
    return uint32_t{p[3]} << 24 | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | uint32_t{p[0]};
}

}  // namespace geovanta

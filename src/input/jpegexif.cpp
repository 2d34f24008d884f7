#include "input/jpegexif.h"

#include <cstring>
#include <string_view>

namespace geovanta {
namespace {

// A JPEG has a few dozen segments before its image data; this bounds the walk
// over a damaged or hostile file.
constexpr int kMaxSegments = 4096;
// Marker (2), length (2) and "Exif\0\0" (6) come before the TIFF header.
constexpr uint64_t kExifHeadSize = 10;

constexpr unsigned char kExifHead[] = {0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};

// The first `got` bytes of an "Exif" APP1 head, cut there by the end of the file.
bool cutExifHead(const unsigned char* head, std::size_t got) {
    if (got >= kExifHeadSize || got < 2 || head[1] != 0xE1) return false;
    return got <= 4 || std::memcmp(head + 4, kExifHead + 4, got - 4) == 0;
}

// Reads the head of a segment at one of the fixed places: marker, length and
// identifier. A head cut short by the end of the file is an error there.
bool isExifApp1At(PositionedFile& file, uint64_t pos, unsigned char* marker = nullptr) {
    unsigned char head[kExifHeadSize] = {};
    const std::size_t got = readUpTo(file, pos, head, sizeof head);
    if (got < kExifHeadSize) throw ExifError(readBeyondEndMessage());
    if (marker) marker[0] = head[0], marker[1] = head[1];
    return head[0] == 0xFF && head[1] == 0xE1 && std::memcmp(head + 4, kExifHead + 4, 6) == 0;
}

// Walks the segment chain up to the start of scan.
std::optional<uint64_t> walkSegments(PositionedFile& file, uint64_t pos) {
    for (int step = 0; step < kMaxSegments && pos < file.size(); ++step) {
        unsigned char head[kExifHeadSize] = {};
        const std::size_t got = readUpTo(file, pos, head, sizeof head);
        if (got < 2 || head[0] != 0xFF) return std::nullopt;  // the chain is broken
        const unsigned char m = head[1];
        if (m == 0xFF) {  // fill byte before a marker
            pos += 1;
            continue;
        }
        if (m == 0x01 || (m >= 0xD0 && m <= 0xD8)) {  // markers without a length
            pos += 2;
            continue;
        }
        if (m == 0xDA || m == 0xD9) return std::nullopt;  // image data or end of image
        if (cutExifHead(head, got)) throw ExifError(readBeyondEndMessage());
        if (got < 4) return std::nullopt;
        const uint16_t length = be16(head + 2);
        if (length < 2) return std::nullopt;
        if (m == 0xE1 && got == kExifHeadSize && std::memcmp(head + 4, kExifHead + 4, 6) == 0) return pos;
        pos += 2u + length;
    }
    return std::nullopt;
}

}  // namespace

// Cameras put the EXIF segment straight after the start of image, or after a
// 16-byte JFIF segment; other writers put XMP, ICC profiles, comments or
// longer APP0 segments first, so the segment chain is walked up to the start
// of scan when the fixed places do not hold it.
std::optional<uint64_t> findJpegExif(PositionedFile& file, uint64_t soi) {
    unsigned char marker[2];
    if (isExifApp1At(file, soi + 2, marker)) return soi + 2 + kExifHeadSize;
    if (marker[0] == 0xFF && marker[1] == 0xE0 && isExifApp1At(file, soi + 20)) return soi + 20 + kExifHeadSize;
    const auto segment = walkSegments(file, soi + 2);
    if (!segment) return std::nullopt;
    return *segment + kExifHeadSize;
}

JpegMetadata findJpegMetadata(PositionedFile& file, uint64_t soi) {
    static constexpr std::string_view kXmpId("http://ns.adobe.com/xap/1.0/\0", 29);
    static constexpr std::string_view kPhotoshopId("Photoshop 3.0\0", 14);
    JpegMetadata found;
    uint64_t pos = soi + 2;
    for (int step = 0; step < kMaxSegments && pos < file.size(); ++step) {
        unsigned char head[4 + kXmpId.size()] = {};
        const std::size_t got = readUpTo(file, pos, head, sizeof head);
        if (got < 4 || head[0] != 0xFF) break;
        const unsigned char m = head[1];
        if (m == 0xFF) {  // fill byte before a marker
            pos += 1;
            continue;
        }
        if (!((m >= 0xE0 && m <= 0xEF) || m == 0xFE)) break;
        const uint16_t length = be16(head + 2);
        if (length < 2) break;
        const std::string_view id(reinterpret_cast<const char*>(head + 4), got - 4);
        auto note = [&](std::optional<JpegSegment>& slot, std::string_view identifier) {
            if (slot || length - 2u < identifier.size() || !id.starts_with(identifier)) return;
            slot = JpegSegment{pos + 4 + identifier.size(), length - 2u - identifier.size()};
        };
        if (m == 0xE1) note(found.xmp, kXmpId);
        if (m == 0xED) note(found.photoshop, kPhotoshopId);
        if (found.xmp && found.photoshop) break;
        pos += 2u + length;
    }
    return found;
}

bool isRafHeader(const unsigned char* head, std::size_t size) {
    return size >= 16 && std::memcmp(head, "FUJIFILMCCD-RAW ", 16) == 0;
}

// The header gives the embedded JPEG's offset, big-endian, at byte 84.
std::optional<uint64_t> rafJpegOffset(PositionedFile& file) {
    unsigned char offset[4];
    readExact(file, 84, offset, sizeof offset);
    const uint64_t at = be32(offset);
    unsigned char soi[2];
    readExact(file, at, soi, sizeof soi);  // past the end: the file was cut short
    if (soi[0] != 0xFF || soi[1] != 0xD8) return std::nullopt;
    return at;
}

}  // namespace geovanta

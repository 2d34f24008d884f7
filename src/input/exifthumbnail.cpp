#include "input/exifthumbnail.h"

#include <algorithm>

#include "input/exifread.h"
#include "input/jpegexif.h"

namespace geovanta {
namespace {

constexpr std::size_t kEntrySize = 12;
constexpr uint32_t kEntriesPerRead = 64;
constexpr uint16_t kThumbnailOffsetTag = 0x0201;
constexpr uint16_t kThumbnailLengthTag = 0x0202;

// Reads of the TIFF data, in its byte order, that never reach past `end`:
// the end of the EXIF segment in a JPEG, of the file in a raw file.
class TiffReader {
public:
    TiffReader(PositionedFile& file, uint64_t base, uint64_t end) : file_(file), base_(base), end_(end) {}

    bool readHeader() {
        unsigned char h[8];
        if (!read(0, h, sizeof h)) return false;
        if (h[0] != h[1] || (h[0] != 'M' && h[0] != 'I')) return false;
        motorola_ = h[0] == 'M';
        ifd0_ = get32(h + 4);
        return true;
    }
    uint32_t ifd0() const { return ifd0_; }
    uint64_t base() const { return base_; }
    uint64_t end() const { return end_; }

    // `count` bytes at `offset` from the TIFF header.
    bool read(uint64_t offset, unsigned char* out, std::size_t count) {
        const uint64_t at = base_ + offset;
        return at <= end_ && count <= end_ - at && readUpTo(file_, at, out, count) == count;
    }
    uint16_t get16(const unsigned char* p) const { return motorola_ ? be16(p) : le16(p); }
    uint32_t get32(const unsigned char* p) const { return motorola_ ? be32(p) : le32(p); }

private:
    PositionedFile& file_;
    uint64_t base_, end_;
    uint32_t ifd0_ = 0;
    bool motorola_ = false;
};

struct ExifBlock {
    uint64_t base = 0;  // the TIFF header
    uint64_t end = 0;
};

// The TIFF data of the JPEG image starting at `soi`, which ends with its
// "Exif" APP1 segment.
std::optional<ExifBlock> jpegExif(PositionedFile& file, uint64_t soi) {
    const std::optional<uint64_t> base = findJpegExif(file, soi);
    unsigned char length[2];
    // The segment's length sits 8 bytes before the TIFF header, after its marker.
    if (!base || *base < 8 || readUpTo(file, *base - 8, length, 2) != 2) return std::nullopt;
    return ExifBlock{*base, *base - 10 + 2 + be16(length)};
}

// The JPEG's segments, the JPEG a RAF file embeds, or a raw file's TIFF data.
std::optional<ExifBlock> exifBlock(PositionedFile& file) {
    unsigned char head[16] = {};
    const std::size_t got = readUpTo(file, 0, head, sizeof head);
    if (got >= 2 && head[0] == 0xFF && head[1] == 0xD8) return jpegExif(file, 0);
    if (isRafHeader(head, got)) {
        const std::optional<uint64_t> soi = rafJpegOffset(file);
        return soi ? jpegExif(file, *soi) : std::nullopt;
    }
    if (got >= 2 && head[0] == head[1] && (head[0] == 'M' || head[0] == 'I')) return ExifBlock{0, file.size()};
    return std::nullopt;
}

// The offset of the directory that follows the one at `ifd`; 0 for none.
uint32_t nextDirectory(TiffReader& tiff, uint32_t ifd) {
    unsigned char count[2];
    if (!tiff.read(ifd, count, 2)) return 0;
    unsigned char next[4];
    if (!tiff.read(uint64_t{ifd} + 2 + tiff.get16(count) * kEntrySize, next, 4)) return 0;
    return tiff.get32(next);
}

// A SHORT or LONG value of one entry.
std::optional<uint32_t> wholeValue(const TiffReader& tiff, const unsigned char* entry) {
    const uint16_t type = tiff.get16(entry + 2);
    if (tiff.get32(entry + 4) != 1) return std::nullopt;
    if (type == 3) return tiff.get16(entry + 8);
    if (type == 4) return tiff.get32(entry + 8);
    return std::nullopt;
}

std::optional<ExifThumbnail::Location> thumbnailIn(TiffReader& tiff) {
    const uint32_t ifd1 = nextDirectory(tiff, tiff.ifd0());
    if (ifd1 == 0 || ifd1 == tiff.ifd0()) return std::nullopt;
    unsigned char countBytes[2];
    if (!tiff.read(ifd1, countBytes, 2)) return std::nullopt;
    const uint16_t count = tiff.get16(countBytes);
    std::optional<uint32_t> offset, length;
    unsigned char block[kEntriesPerRead * kEntrySize];
    for (uint32_t done = 0; done < count && !(offset && length);) {
        const uint32_t n = std::min<uint32_t>(kEntriesPerRead, count - done);
        if (!tiff.read(uint64_t{ifd1} + 2 + uint64_t{done} * kEntrySize, block, n * kEntrySize)) return std::nullopt;
        for (uint32_t k = 0; k < n; ++k) {
            const unsigned char* entry = block + k * kEntrySize;
            const uint16_t tag = tiff.get16(entry);
            if (tag == kThumbnailOffsetTag) offset = wholeValue(tiff, entry);
            if (tag == kThumbnailLengthTag) length = wholeValue(tiff, entry);
        }
        done += n;
    }
    if (!offset || !length || *length < 4 || *length > ExifThumbnail::kMaxLength) return std::nullopt;
    unsigned char soi[2];
    if (!tiff.read(*offset, soi, 2) || soi[0] != 0xFF || soi[1] != 0xD8) return std::nullopt;
    const uint64_t at = tiff.base() + *offset;
    if (*length > tiff.end() - at) return std::nullopt;
    return ExifThumbnail::Location{at, *length};
}

std::optional<ExifThumbnail::Location> locateIn(PositionedFile& file) {
    // A file too damaged to lead to its EXIF data has no thumbnail to show.
    try {
        const std::optional<ExifBlock> block = exifBlock(file);
        if (!block) return std::nullopt;
        TiffReader tiff(file, block->base, std::min(block->end, file.size()));
        if (!tiff.readHeader()) return std::nullopt;
        return thumbnailIn(tiff);
    } catch (const ExifError&) {
        return std::nullopt;
    }
}

}  // namespace

std::optional<ExifThumbnail::Location> ExifThumbnail::locate(const std::string& path) {
    PositionedFile file;
    if (file.open(path) != PositionedFile::OpenResult::Opened) return std::nullopt;
    return locateIn(file);
}

std::vector<unsigned char> ExifThumbnail::read(const std::string& path) {
    PositionedFile file;
    if (file.open(path) != PositionedFile::OpenResult::Opened) return {};
    const std::optional<Location> at = locateIn(file);
    if (!at) return {};
    std::vector<unsigned char> bytes(at->length);
    if (file.readAt(at->offset, bytes.data(), bytes.size()) != static_cast<long long>(bytes.size())) return {};
    return bytes;
}

}  // namespace geovanta

#include "input/isomediaexif.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "input/isoboxes.h"

namespace geovanta {
namespace {

// The "meta" box of a photograph lists its items in a few kilobytes; this
// much of it is read at most.
constexpr std::size_t kMaxMetaBytes = std::size_t{1} << 20;

constexpr std::array<unsigned char, 16> kCanonUuid = {0x85, 0xc0, 0xb6, 0x87, 0x82, 0x0f, 0x11, 0xe0,
                                                      0x81, 0x11, 0xf4, 0xce, 0x46, 0x2b, 0x6a, 0x48};

// Calls `visit(box)` for each box of `data` from `begin` to `end`; positions
// count from the start of `data`. A box reaching past `end` ends the walk.
template <typename Visit>
void walkMemoryBoxes(const unsigned char* data, std::size_t begin, std::size_t end, Visit&& visit) {
    std::size_t pos = begin;
    for (int n = 0; n < kMaxBoxesPerLevel && pos < end; ++n) {
        const std::optional<Box> box = parseBox(data + pos, end - pos, pos, end);
        if (!box || box->end > end) return;
        visit(*box);
        pos = static_cast<std::size_t>(box->end);
    }
}

ByteCursor payloadOf(const unsigned char* data, const Box& box) {
    return ByteCursor(data + box.payload, static_cast<std::size_t>(box.end - box.payload));
}

// The item entries ("infe", version 2 or 3) follow the entry count.
std::optional<uint64_t> exifItemId(const unsigned char* data, const Box& iinf) {
    ByteCursor c = payloadOf(data, iinf);
    const uint64_t version = c.take(1);
    c.skip(3);
    c.skip(version == 0 ? 2 : 4);
    if (!c.ok()) return std::nullopt;
    std::optional<uint64_t> found;
    walkMemoryBoxes(data, static_cast<std::size_t>(c.here() - data), static_cast<std::size_t>(iinf.end),
                    [&](const Box& infe) {
                        if (found || infe.type != fourCC("infe")) return;
                        ByteCursor e = payloadOf(data, infe);
                        const uint64_t v = e.take(1);
                        e.skip(3);
                        if (v < 2) return;  // older entries name no item type
                        const uint64_t id = e.take(v == 2 ? 2 : 4);
                        e.skip(2);  // protection index
                        if (e.take(4) == fourCC("Exif") && e.ok()) found = id;
                    });
    return found;
}

struct ItemPlace {
    uint64_t method = 0;  // 0: offsets in the file; 1: in the "idat" box
    uint64_t offset = 0;  // of its first extent
};

bool validFieldSize(uint64_t size) { return size == 0 || size == 4 || size == 8; }

std::optional<ItemPlace> itemPlace(const unsigned char* data, const Box& iloc, uint64_t id) {
    ByteCursor c = payloadOf(data, iloc);
    const uint64_t version = c.take(1);
    c.skip(3);
    const uint64_t sizes = c.take(1), more = c.take(1);
    const uint64_t offsetSize = sizes >> 4, lengthSize = sizes & 15, baseSize = more >> 4;
    const uint64_t indexSize = version >= 1 ? more & 15 : 0;
    if (version > 2 || !validFieldSize(offsetSize) || !validFieldSize(lengthSize) || !validFieldSize(baseSize) ||
        !validFieldSize(indexSize))
        return std::nullopt;
    const uint64_t count = c.take(version < 2 ? 2 : 4);
    // Every item takes at least six bytes, so the list's own size bounds this.
    for (uint64_t k = 0; k < count && c.ok(); ++k) {
        const uint64_t itemId = c.take(version < 2 ? 2 : 4);
        const uint64_t method = version >= 1 ? c.take(2) & 15 : 0;
        const uint64_t dataReference = c.take(2);
        const uint64_t base = c.take(baseSize);
        const uint64_t extents = c.take(2);
        uint64_t offset = 0;
        if (extents > 0) {
            c.skip(indexSize);
            offset = c.take(offsetSize);
            c.skip(lengthSize);
            c.skip((indexSize + offsetSize + lengthSize) * (extents - 1));
        }
        if (!c.ok()) return std::nullopt;
        if (itemId != id) continue;
        // Data in another file, or made from other items, is no place here.
        if (dataReference != 0 || method > 1 || extents == 0 || offset > UINT64_MAX - base) return std::nullopt;
        return ItemPlace{method, base + offset};
    }
    return std::nullopt;
}

std::optional<ExifPlace> heifExif(PositionedFile& file, const Box& meta) {
    if (meta.end > file.size()) throw ExifError(readBeyondEndMessage());
    const auto size = static_cast<std::size_t>(std::min<uint64_t>(meta.end - meta.payload, kMaxMetaBytes));
    const auto data = std::make_unique_for_overwrite<unsigned char[]>(size);
    readExact(file, meta.payload, data.get(), size);
    // A full box in HEIF files (version and flags first), a plain one in QuickTime's.
    const std::size_t first = size >= 8 && std::memcmp(data.get() + 4, "hdlr", 4) == 0 ? 0 : 4;
    std::optional<Box> iinf, iloc, idat;
    walkMemoryBoxes(data.get(), first, size, [&](const Box& b) {
        if (b.type == fourCC("iinf") && !iinf) iinf = b;
        if (b.type == fourCC("iloc") && !iloc) iloc = b;
        if (b.type == fourCC("idat") && !idat) idat = b;
    });
    if (!iinf || !iloc) return std::nullopt;
    const std::optional<uint64_t> id = exifItemId(data.get(), *iinf);
    if (!id) return std::nullopt;
    const std::optional<ItemPlace> place = itemPlace(data.get(), *iloc, *id);
    if (!place) return std::nullopt;
    uint64_t at = place->offset;
    if (place->method == 1) {
        if (!idat || at > UINT64_MAX - meta.payload - idat->payload) return std::nullopt;
        at += meta.payload + idat->payload;
    }
    unsigned char skip[4];
    readExact(file, at, skip, sizeof skip);  // past the end: the file was cut short
    return ExifPlace{at + 4 + be32(skip), false, {}, {}};
}

std::optional<ExifPlace> cr3Exif(PositionedFile& file, const Box& moov) {
    std::optional<ExifPlace> place;
    std::optional<uint64_t> ifd0, gps;
    const uint64_t end = std::min(moov.end, file.size());
    walkFileBoxes(file, moov.payload, end, [&](const Box& canon) {
        if (canon.type != fourCC("uuid") || canon.userType != kCanonUuid) return false;
        // CMT1 to CMT4 follow one another; the walk ends after CMT4.
        walkFileBoxes(file, canon.payload, std::min(canon.end, end), [&](const Box& b) {
            if (b.type == fourCC("CMT1")) ifd0 = b.payload;
            if (b.type == fourCC("CMT2")) place = ExifPlace{b.payload, true, {}, {}};
            if (b.type == fourCC("CMT4")) gps = b.payload;
            return gps.has_value();
        });
        return true;
    });
    if (place) place->ifd0Base = ifd0, place->gpsBase = gps;
    // The Canon box comes first in "moov": a file cut before it is damaged.
    if (!place && moov.end > file.size()) throw ExifError(readBeyondEndMessage());
    return place;
}

}  // namespace

bool isIsoMediaHeader(const unsigned char* head, std::size_t size) {
    return size >= 8 && std::memcmp(head + 4, "ftyp", 4) == 0;
}

std::optional<ExifPlace> findIsoMediaExif(PositionedFile& file) {
    std::optional<ExifPlace> place;
    bool searched = false;
    walkFileBoxes(file, 0, file.size(), [&](const Box& box) {
        if (box.type == fourCC("meta")) {
            searched = true;
            place = heifExif(file, box);
        } else if (box.type == fourCC("moov")) {
            searched = true;
            place = cr3Exif(file, box);
        }
        return place.has_value();
    });
    // Every photograph of these kinds has one of the two boxes: a file that
    // ends before either was cut short, and what followed may have held the
    // EXIF data.
    if (!searched) throw ExifError(readBeyondEndMessage());
    return place;
}

}  // namespace geovanta

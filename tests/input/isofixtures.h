#pragma once
// Builds ISO base media files byte by byte: HEIF files with an "Exif" item
// and Canon CR3 files, so that each test states the layout it checks.

#include <initializer_list>
#include <string>

#include "input/exiffixtures.h"

namespace geovanta::test {

inline Bytes beBytes(uint64_t v, int n) {
    Bytes b;
    for (int k = n - 1; k >= 0; --k) b.push_back(static_cast<uint8_t>(v >> (8 * k)));
    return b;
}

inline Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

inline Bytes box(const std::string& type, const Bytes& payload) {
    return cat({beBytes(8 + payload.size(), 4), textBytes(type), payload});
}
inline Bytes fullBox(const std::string& type, uint8_t version, const Bytes& payload) {
    return box(type, cat({Bytes{version, 0, 0, 0}, payload}));
}

struct HeifLayout {
    uint8_t ilocVersion = 0;
    bool inIdat = false;       // the item's data in the "idat" box of "meta"
    bool atEnd = false;        // the item's data last in the file, after the image's
    int offsetSize = 4;        // bytes of each extent's offset: 4 or 8
    bool exifItem = true;      // false: an image item only
    uint16_t dataReference = 0;
    bool largeMdat = false;    // "mdat" with a 64-bit size
};

// ftyp, meta (hdlr, iinf, iloc, idat), mdat; the Exif item's data is the
// 4-byte distance to the TIFF header, "Exif\0\0" and `tiff`.
inline Bytes heif(const Bytes& tiff, const HeifLayout& l = {}) {
    const Bytes item = cat({beBytes(6, 4), textBytes(std::string("Exif\0\0", 6)), tiff});
    const Bytes image(64, 0xAB);
    const Bytes ftyp = box("ftyp", cat({textBytes("heic"), beBytes(0, 4), textBytes("mif1heic")}));
    const auto infe = [](uint16_t id, const char* type) {
        return fullBox("infe", 2, cat({beBytes(id, 2), beBytes(0, 2), textBytes(type), Bytes{0}}));
    };
    Bytes entries = infe(1, "hvc1");
    if (l.exifItem) entries = cat({entries, infe(2, "Exif")});
    const Bytes iinf = fullBox("iinf", 0, cat({beBytes(l.exifItem ? 2 : 1, 2), entries}));
    const auto iloc = [&](uint64_t imageAt, uint64_t exifAt) {
        const int idSize = l.ilocVersion == 2 ? 4 : 2;
        Bytes b{static_cast<uint8_t>(l.offsetSize << 4 | 4), 0};
        b = cat({b, beBytes(l.exifItem ? 2 : 1, l.ilocVersion == 2 ? 4 : 2)});
        const auto entry = [&](uint16_t id, uint16_t method, uint16_t reference, uint64_t at, uint64_t size) {
            Bytes e = beBytes(id, idSize);
            if (l.ilocVersion >= 1) e = cat({e, beBytes(method, 2)});
            return cat({e, beBytes(reference, 2), beBytes(1, 2), beBytes(at, l.offsetSize), beBytes(size, 4)});
        };
        b = cat({b, entry(1, 0, 0, imageAt, image.size())});
        if (l.exifItem) b = cat({b, entry(2, l.inIdat ? 1 : 0, l.dataReference, exifAt, item.size())});
        return fullBox("iloc", l.ilocVersion, b);
    };
    const Bytes hdlr = fullBox("hdlr", 0, cat({beBytes(0, 4), textBytes("pict"), Bytes(13, 0)}));
    const Bytes idat = l.inIdat ? box("idat", item) : Bytes{};
    const auto meta = [&](uint64_t imageAt, uint64_t exifAt) {
        return fullBox("meta", 0, cat({hdlr, iinf, iloc(imageAt, exifAt), idat}));
    };
    const Bytes mdatData = l.inIdat ? image : l.atEnd ? cat({image, item}) : cat({item, image});
    const Bytes mdat = l.largeMdat ? cat({beBytes(1, 4), textBytes("mdat"), beBytes(16 + mdatData.size(), 8), mdatData})
                                   : box("mdat", mdatData);
    const uint64_t dataAt = ftyp.size() + meta(0, 0).size() + (l.largeMdat ? 16 : 8);
    const uint64_t imageAt = dataAt + (l.inIdat || l.atEnd ? 0 : item.size());
    const uint64_t exifAt = l.inIdat ? 0 : l.atEnd ? dataAt + image.size() : dataAt;
    return cat({ftyp, meta(imageAt, exifAt), mdat});
}

// ftyp, moov with Canon's box holding CMT1 (IFD0) and CMT2 (the Exif
// directory as the first directory of `exifTiff`), mdat.
inline Bytes cr3(const Bytes& exifTiff) {
    const Bytes canon = {0x85, 0xc0, 0xb6, 0x87, 0x82, 0x0f, 0x11, 0xe0,
                         0x81, 0x11, 0xf4, 0xce, 0x46, 0x2b, 0x6a, 0x48};
    TiffBuilder ifd0(false);
    ifd0.ascii(TiffBuilder::Ifd0, 0x010F, "Canon");
    const Bytes uuid = box("uuid", cat({canon, box("CNCV", textBytes("CanonCR3_001/00.09.00/00.00.00")),
                                        box("CMT1", ifd0.build()), box("CMT2", exifTiff)}));
    return cat({box("ftyp", cat({textBytes("crx "), beBytes(1, 4), textBytes("crx isom")})),
                box("moov", cat({box("mvhd", Bytes(100, 0)), uuid})), box("mdat", Bytes(64, 0xCD))});
}

}  // namespace geovanta::test

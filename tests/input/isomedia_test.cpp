// The shooting time in ISO base media files built byte by byte: the ways a
// HEIF file may place its Exif item, Canon's CR3 boxes, and boxes built to
// mislead the walk.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "input/exif.h"
#include "input/isofixtures.h"

using namespace geovanta;
using namespace geovanta::test;

namespace {

constexpr const char* kDate = "2019:08:21 11:21:36";

struct Read {
    TempDir dir;
    TExif exif;
    std::string error;
    explicit Read(const Bytes& bytes) {
        try {
            exif.ReadExif(dir.write("a.heic", bytes));
        } catch (const ExifError& e) {
            error = e.what();
        }
    }
};

Bytes dated(bool motorola) {
    TiffBuilder t(motorola);
    t.ascii(TiffBuilder::Exif, 0x9003, kDate).ascii(TiffBuilder::Exif, 0x9011, "+02:00");
    return t.build();
}

}  // namespace

TEST(IsoMedia, WhereverTheExifItemIs) {
    struct Case {
        const char* what;
        Bytes file;
        bool found;
    };
    TiffBuilder exifFirst(true);
    exifFirst.ascii(TiffBuilder::Ifd0, 0x9003, kDate).ascii(TiffBuilder::Ifd0, 0x9011, "+02:00");
    const Case cases[] = {
        {"first in mdat", heif(dated(true)), true},
        {"last in the file", heif(dated(false), {.atEnd = true}), true},
        {"in idat", heif(dated(true), {.ilocVersion = 1, .inIdat = true}), true},
        {"32-bit item numbers, 64-bit offsets", heif(dated(false), {.ilocVersion = 2, .offsetSize = 8}), true},
        {"behind a 64-bit box size", heif(dated(true), {.atEnd = true, .largeMdat = true}), true},
        {"no Exif item", heif(dated(true), {.exifItem = false}), false},
        {"its data in another file", heif(dated(true), {.dataReference = 1}), false},
        {"CR3", cr3(exifFirst.build()), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Read r(c.file);
        EXPECT_EQ(r.error, "");
        EXPECT_EQ(r.exif.ExifFound, c.found);
        EXPECT_EQ(r.exif.DateTimeOriginal, c.found ? kDate : "");
        EXPECT_EQ(r.exif.TimeZoneOffsetMinutes, c.found ? std::optional<int>(120) : std::nullopt);
    }
}

// Sizes, counts and offsets from the file end with the read error or no
// EXIF data, after a bounded number of small reads.
TEST(IsoMedia, BoxesBuiltToMislead) {
    const Bytes good = heif(dated(true));
    const Bytes ftyp = box("ftyp", textBytes("heicmif1"));
    Bytes metaPastEnd = good;
    const std::string meta = "meta";
    const auto metaAt = std::search(metaPastEnd.begin(), metaPastEnd.end(), meta.begin(), meta.end());
    *(metaAt - 2) = 0x7F;  // meta's size: 8 MB more than there is
    Bytes hugeItemCount = cat({ftyp, fullBox("meta", 0, cat({fullBox("iinf", 0, beBytes(0, 2)),
                                                             fullBox("iloc", 2, cat({Bytes{0x44, 0}, beBytes(~0u, 4)}))}))});
    Bytes manyExtents = cat({Bytes{0, 0}, beBytes(1, 2), beBytes(2, 2), beBytes(0, 2), beBytes(0xFFFF, 2)});
    Bytes emptyExtents = cat({ftyp, fullBox("meta", 0, cat({fullBox("iinf", 0, cat({beBytes(1, 2),
                                  fullBox("infe", 2, cat({beBytes(2, 2), beBytes(0, 2), textBytes("Exif"), Bytes{0}}))})),
                              fullBox("iloc", 0, manyExtents)}))});
    Bytes tinyBoxes = ftyp;
    for (int k = 0; k < 100'000; ++k) tinyBoxes.insert(tinyBoxes.end(), {0, 0, 0, 8, 'f', 'r', 'e', 'e'});
    Bytes itemPastEnd = heif(dated(false), {.atEnd = true});
    itemPastEnd.resize(itemPastEnd.size() - dated(false).size() - 8);

    struct Case {
        const char* what;
        Bytes file;
        std::string error;
    };
    const Case cases[] = {
        {"meta running past the end", metaPastEnd, readBeyondEndMessage()},
        {"an item list of 4 billion items", hugeItemCount, ""},
        {"65,535 extents of no size", emptyExtents, readBeyondEndMessage()},  // at offset 0: no Exif data
        {"a hundred thousand empty boxes", tinyBoxes, readBeyondEndMessage()},
        {"a box smaller than its header", cat({ftyp, beBytes(4, 4), textBytes("meta")}), readBeyondEndMessage()},
        {"the Exif item past the end", itemPastEnd, readBeyondEndMessage()},
        {"nothing after ftyp", ftyp, readBeyondEndMessage()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Read r(c.file);
        EXPECT_EQ(r.error, c.error);
        EXPECT_EQ(r.exif.DateTimeOriginal, "");
        EXPECT_LT(r.exif.bytesRead(), 64u * 1024);
    }
}

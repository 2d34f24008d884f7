// Photographs built to mislead the EXIF reader and folders built to slow the
// scanner: each ends with the reader's error or a clean result, and reads only
// a bounded number of bytes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "input/exif.h"
#include "input/exiffixtures.h"
#include "input/photoscanner.h"
#include "table/datatable.h"

using namespace geovanta;
using namespace geovanta::test;

namespace {

struct Read {
    TempDir dir;
    TExif exif;
    std::string error;
    explicit Read(const Bytes& bytes) {
        const std::string path = dir.write("a.jpg", bytes);
        try {
            exif.ReadExif(path);
        } catch (const ExifError& e) {
            error = e.what();
        }
    }
};

constexpr uint16_t kDateTimeOriginal = 0x9003;
constexpr uint16_t kExifPointer = 0x8769;

// IFD0 with `count` entries of a tag the reader does not know, then the
// Exif pointer and a date, all present in the file.
Bytes fullDirectory(uint16_t count) {
    TiffBuilder t(false);
    for (uint32_t k = 0; k + 1 < count; ++k) t.longValue(TiffBuilder::Ifd0, 0x1234, k);
    t.ascii(TiffBuilder::Exif, kDateTimeOriginal, "2010:12:01 11:15:00");
    return JpegBuilder().exif(t.build()).build();
}

}  // namespace

TEST(HostileExif, DirectoryCountsAndOffsetsFromTheFile) {
    {
        // 65,535 entries really there: all are walked, the date is found.
        Read r(fullDirectory(65535));
        EXPECT_EQ(r.error, "");
        EXPECT_EQ(r.exif.DateTimeOriginal, "2010:12:01 11:15:00");
        EXPECT_LT(r.exif.bytesRead(), 65535u * 12 + 4096);
    }
    {
        // A count of 65,535 over a directory of two entries runs off the end.
        TiffBuilder t(true);
        t.ascii(TiffBuilder::Ifd0, 0x010F, "Make").ifd0Count(65535);
        Read r(JpegBuilder().exif(t.build()).build());
        EXPECT_EQ(r.error, readBeyondEndMessage());
        EXPECT_TRUE(r.exif.ExifFound);  // what was found before stays
    }
    // Offsets past the end, of the date's text or of a directory: the read
    // error, as for a file cut short.
    for (const uint32_t offset : {0x7FFFFFF0u, 0x80000000u, 0xFFFFFFF0u, 0x1000u}) {
        SCOPED_TRACE(offset);
        TiffBuilder text(false);
        text.pointing(TiffBuilder::Exif, kDateTimeOriginal, 2, 20, offset);
        Read r(JpegBuilder().exif(text.build()).build());
        EXPECT_EQ(r.error, readBeyondEndMessage());
        EXPECT_EQ(r.exif.DateTimeOriginal, "");

        TiffBuilder dir(false);
        dir.longValue(TiffBuilder::Ifd0, kExifPointer, offset);
        EXPECT_EQ(Read(JpegBuilder().exif(dir.build()).build()).error, readBeyondEndMessage());
        if (offset > 0x80000000u) continue;  // read as a negative offset, whose size counts
        TiffBuilder ifd0(true);
        ifd0.ifd0Offset(8).ascii(TiffBuilder::Ifd0, 0x010F, "M");
        Bytes b = ifd0.build();
        b[4] = uint8_t(offset >> 24), b[5] = uint8_t(offset >> 16), b[6] = uint8_t(offset >> 8), b[7] = uint8_t(offset);
        EXPECT_EQ(Read(JpegBuilder().exif(b).build()).error, readBeyondEndMessage());
    }
}

TEST(HostileExif, DirectoriesPointingAtThemselves) {
    // The Exif pointer names IFD0 itself: IFD0 is read once more as the Exif
    // sub-directory, and the walk ends.
    TiffBuilder self(false);
    self.ascii(TiffBuilder::Ifd0, 0x010F, "Cam").longValue(TiffBuilder::Ifd0, kExifPointer, 8);
    Read r(JpegBuilder().exif(self.build()).build());
    EXPECT_EQ(r.error, "");
    EXPECT_LT(r.exif.bytesRead(), 200u);

    // An Exif sub-directory holding an Exif pointer to itself: the pointer
    // belongs to IFD0 only, so it is not followed.
    TiffBuilder loop(true);
    loop.ascii(TiffBuilder::Exif, kDateTimeOriginal, "2011:01:01 00:00:00");
    Bytes b = JpegBuilder().exif(loop.build()).build();
    // Exif directory: base 12 + IFD0 at 8 (count, 1 entry, next) = 26 bytes on.
    const std::size_t exifDir = 12 + 8 + 2 + 12 + 4;
    const std::size_t firstEntry = exifDir + 2;
    b[firstEntry] = 0x87, b[firstEntry + 1] = 0x69;  // the date's tag becomes the pointer
    const uint32_t at = static_cast<uint32_t>(exifDir - 12);
    b[firstEntry + 8] = uint8_t(at >> 24), b[firstEntry + 9] = uint8_t(at >> 16);
    b[firstEntry + 10] = uint8_t(at >> 8), b[firstEntry + 11] = uint8_t(at);
    Read l(b);
    EXPECT_EQ(l.error, "");
    EXPECT_EQ(l.exif.DateTimeOriginal, "");
    EXPECT_LT(l.exif.bytesRead(), 200u);
}

TEST(HostileExif, HugeTextCounts) {
    // A date of count 4,000,000,000 over 100 kB without a zero byte reads the
    // longest text the reader keeps, no more.
    TiffBuilder t(false);
    t.data(TiffBuilder::Exif, kDateTimeOriginal, 2, 4'000'000'000u, Bytes(100'000, 'A'));
    Read r(JpegBuilder().exif(t.build()).build());
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.exif.DateTimeOriginal, std::string(TExif::kMaxTextLength, 'A'));
    // And one window where the next segment would start, looking for
    // place names.
    EXPECT_LT(r.exif.bytesRead(), 70'000u + PositionedFile::kWindowBytes);

    // The same count with the value running off the end of the file: cut short.
    const auto cut = [](uint32_t offset) {
        TiffBuilder b(true);
        b.pointing(TiffBuilder::Exif, kDateTimeOriginal, 2, 4'000'000'000u, offset).tail(Bytes(50, 'B'));
        return b;
    };
    Read c(JpegBuilder().exif(cut(static_cast<uint32_t>(cut(0).tailOffset())).build()).build());
    EXPECT_EQ(c.error, readBeyondEndMessage());
}

TEST(HostileExif, ATextTagRepeatedOverALongValueIsReadOnce) {
    // 30,000 dates over one 70 kB value without a zero byte, then a short
    // one, which wins: read each time, they would cost 2 GB of reads.
    const auto build = [](uint32_t longAt, uint32_t shortAt) {
        TiffBuilder t(false);
        for (int k = 0; k < 30000; ++k) t.pointing(TiffBuilder::Exif, kDateTimeOriginal, 2, 4'000'000'000u, longAt);
        t.pointing(TiffBuilder::Exif, kDateTimeOriginal, 2, 5, shortAt);
        Bytes tail(70'000, 'A');
        for (char c : std::string("last")) tail.push_back(static_cast<uint8_t>(c));
        tail.push_back(0);
        t.tail(tail);
        return t;
    };
    const auto at = static_cast<uint32_t>(build(0, 0).tailOffset());
    Read r(JpegBuilder().exif(build(at, at + 70'000).build()).build());
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.exif.DateTimeOriginal, "last");
    EXPECT_LT(r.exif.bytesRead(), 1'000'000u);
}

TEST(HostileExif, JpegsEndingInsideASegmentHead) {
    const Bytes full = JpegBuilder().app0().comment("note").exif(TiffBuilder(false).build()).build();
    // Every cut inside the first three segment heads and the TIFF header:
    // the read error or, where the chain breaks, no EXIF; never more.
    for (std::size_t size = 0; size < 2 + 18 + 10 + 10 + 8; ++size) {
        SCOPED_TRACE(size);
        Read r(Bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(size)));
        EXPECT_TRUE(r.error.empty() || r.error == readBeyondEndMessage()) << r.error;
        EXPECT_EQ(r.exif.DateTimeOriginal, "");
    }
    EXPECT_EQ(Read({0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x10, 'E', 'x'}).error, readBeyondEndMessage());
    EXPECT_EQ(Read({0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0, 0xFF})
                  .error,
              readBeyondEndMessage());
}

TEST(HostileExif, FolderOfFiveThousandEntriesMostlyNoPhotos) {
    TempDir dir;
    const Bytes photo = JpegBuilder().exif([] {
                                          TiffBuilder t(false);
                                          t.ascii(TiffBuilder::Exif, kDateTimeOriginal, "2010:12:01 11:15:00");
                                          return t.build();
                                      }())
                            .startOfScan()
                            .build();
    int photos = 0, folders = 0;
    for (int k = 0; k < 5000; ++k) {
        const std::string n = std::to_string(k);
        switch (k % 50) {
            case 0: dir.write("IMG_" + n + ".JPG", photo), ++photos; break;
            case 1: std::filesystem::create_directory(dir.path() / ("folder" + n + ".jpg")), ++folders; break;
            case 2: dir.write("photo" + n + ".jpeg", photo), ++photos; break;
            case 3: dir.write(".JPG" + n, photo); break;
            default: dir.write("file" + n + (k % 2 ? ".txt" : ""), textBytes("not a photo")); break;
        }
    }
    DataTable table;
    PhotoScanStats stats;
    const PhotoScanResult r = LoadFotos(table, dir.folder(), SubFolders::Skip, &stats);
    // The folders with photographs' names are named, and only they.
    EXPECT_EQ(r.leftOut.size(), static_cast<std::size_t>(folders));
    EXPECT_EQ(table.lastScanPhotoCount(), photos);
    EXPECT_EQ(table.rowCount(), static_cast<std::size_t>(photos));
    EXPECT_EQ(table.suspendCount(), 0);
    // Only the photographs were opened, each for a few small reads.
    EXPECT_LT(stats.bytesRead, static_cast<uint64_t>(photos) * 200);
}

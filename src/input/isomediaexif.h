#pragma once
// Where an ISO base media file keeps its EXIF data. HEIF, HEIC and AVIF
// files hold it as an item of type "Exif", named in the item list of the
// top-level "meta" box ("iinf") and placed by its location list ("iloc"),
// anywhere in the file; the item's data begins with the distance from its
// fifth byte to the TIFF header. Canon's CR3 files keep TIFF data in the
// "CMT1" to "CMT4" boxes of a "uuid" box of their own inside "moov"; "CMT2"
// holds the Exif directory.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "input/exifread.h"

namespace geovanta {

struct ExifPlace {
    uint64_t tiffBase = 0;
    // The TIFF data's first directory is the Exif directory, not IFD0.
    bool exifDirectoryFirst = false;
    // CR3 only: IFD0 ("CMT1") and the GPS directory ("CMT4"), each as TIFF
    // data of its own, where the file has them.
    std::optional<uint64_t> ifd0Base, gpsBase;
};

// True when the file's first bytes are an "ftyp" box.
bool isIsoMediaHeader(const unsigned char* head, std::size_t size);

// Nothing for a file without EXIF data. Throws ExifError when the boxes that
// hold or point at it, or the item itself, run past the end of the file.
std::optional<ExifPlace> findIsoMediaExif(PositionedFile& file);

}  // namespace geovanta

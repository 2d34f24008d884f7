// The walk over the boxes of an ISO base media file (HEIF, HEIC, AVIF, CR3)
// to its EXIF data, on any bytes: each input follows an "ftyp" box, so that
// every one is taken for such a file. The seeds are such files without their
// "ftyp" box.
#include "exifcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // 24 bytes, as the seeds had, so that their offsets still hold.
    static const std::string ftyp("\0\0\0\x18" "ftypheic\0\0\0\0" "mif1heic", 24);
    geovanta::fuzz::checkExifReader(data, size, ftyp);
    return 0;
}

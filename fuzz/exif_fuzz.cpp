// The EXIF reader on any bytes: JPEG, TIFF, RAF, CRW or ISO media files, as
// the first bytes say.
#include "exifcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    geovanta::fuzz::checkExifReader(data, size);
    return 0;
}

#pragma once
// Where the EXIF data of a JPEG image starts: its "Exif" APP1 segment, found
// at the places cameras put it or by walking the segment chain. Also the
// JPEG image that a Fujifilm RAF file embeds, which carries that file's EXIF.

#include <cstdint>
#include <optional>

#include "input/exifread.h"

namespace geovanta {

// The file offset of the TIFF header inside the "Exif" APP1 segment of the
// JPEG image whose start-of-image marker is at `soi`; nothing when the image
// has none. Throws ExifError when a segment head at the usual places is cut
// short by the end of the file.
std::optional<uint64_t> findJpegExif(PositionedFile& file, uint64_t soi);

// Where a metadata segment's data lies, after its identifier.
struct JpegSegment {
    uint64_t offset = 0;
    std::size_t length = 0;
};
// The first XMP packet ("http://ns.adobe.com/xap/1.0/" APP1) and Photoshop's
// image resources ("Photoshop 3.0" APP13) of the JPEG image whose start of
// image is at `soi`. Only the segments before the first that is neither an
// APPn nor a comment are looked at: writers put their metadata before the
// image's tables, so a camera's photograph costs one small read past its
// EXIF data.
struct JpegMetadata {
    std::optional<JpegSegment> xmp, photoshop;
};
JpegMetadata findJpegMetadata(PositionedFile& file, uint64_t soi);

// True for the 16-byte start of a RAF file.
bool isRafHeader(const unsigned char* head, std::size_t size);
// The offset of the JPEG image inside a RAF file; nothing when none is
// there. Throws ExifError when the header is cut short.
std::optional<uint64_t> rafJpegOffset(PositionedFile& file);

}  // namespace geovanta

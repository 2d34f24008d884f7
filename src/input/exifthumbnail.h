#pragma once
// The small JPEG preview a camera stores beside the EXIF data, in the
// directory that follows IFD0 (IFD1's JPEGInterchangeFormat and
// JPEGInterchangeFormatLength). Found with a handful of positioned reads,
// each checked against the file's size before it is made, so a damaged or
// hostile file costs a few kilobytes at most.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace geovanta {

class ExifThumbnail {
public:
    // Larger previews are no thumbnails: a raw file's full-size preview is
    // not read for a tooltip.
    static constexpr uint32_t kMaxLength = 1u << 20;

    struct Location {
        uint64_t offset = 0;  // from the start of the file
        uint32_t length = 0;
    };

    // Where the preview lies in a JPEG with an "Exif" APP1 segment, the JPEG
    // a RAF file embeds or a raw file laid out as TIFF; nothing when there is
    // none, it lies outside its EXIF data, or it is not a JPEG image.
    static std::optional<Location> locate(const std::string& path);
    // The preview's bytes, a JPEG image; empty when there is none.
    static std::vector<unsigned char> read(const std::string& path);
};

}  // namespace geovanta

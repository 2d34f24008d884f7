#pragma once
// What must hold after the EXIF reader took any bytes, written to a file as
// a photograph would be: it ends with its fields filled or its read error,
// never crashes or hangs, reads a bounded number of bytes, and keeps its
// camera's names short and its position on the earth. The EXIF
// thumbnail's finder on the same file finds, if anything, a JPEG image inside
// the file and no longer than a thumbnail may be.

#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "input/exif.h"
#include "input/exifthumbnail.h"

namespace geovanta::fuzz {

inline const std::string& scratchFile() {
    static const std::string path = [] {
        const char* dir = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return std::string(dir) + "/geovanta-exif-fuzz-" + std::to_string(::getpid());
    }();
    return path;
}

// `head` is written first, then the input.
inline void checkExifReader(const uint8_t* data, std::size_t size, const std::string& head = {}) {
    const std::string& path = scratchFile();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fwrite(head.data(), 1, head.size(), f);
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    TExif exif;
    try {
        exif.ReadExif(path);
    } catch (const ExifError&) {
        // A damaged file ends with the reader's own error.
    }
    if (exif.DateTimeOriginal.size() > TExif::kMaxTextLength) __builtin_trap();
    for (const std::string* part : {&exif.Camera.make, &exif.Camera.model, &exif.Camera.serial})
        if (part->size() > kMaxCameraText) __builtin_trap();
    // A position is on the earth or is none.
    if (const auto& gps = exif.GpsPosition) {
        if (!(std::fabs(gps->lat) <= 90 && std::fabs(gps->lon) <= 180)) __builtin_trap();
        if (gps->altitudeMetres && !std::isfinite(*gps->altitudeMetres)) __builtin_trap();
    }
    // Two directories of at most 65,535 entries with a few values each, an
    // ISO media file's "meta" box of at most 1 MB, a few heaps of a CRW file:
    // a few megabytes whatever the file says.
    if (exif.bytesRead() > (uint64_t{6} << 20)) __builtin_trap();

    const auto at = ExifThumbnail::locate(path);
    if (at && (at->length > ExifThumbnail::kMaxLength || at->offset + at->length > head.size() + size))
        __builtin_trap();
    const std::vector<unsigned char> thumbnail = ExifThumbnail::read(path);
    if (thumbnail.size() != (at ? at->length : 0)) __builtin_trap();
    if (!thumbnail.empty() && (thumbnail[0] != 0xFF || thumbnail[1] != 0xD8)) __builtin_trap();
}

}  // namespace geovanta::fuzz

#pragma once
// What must hold after the EXIF reader took any bytes, written to a file as
// a photograph would be: it ends with its fields filled or its read error,
// never crashes or hangs, and reads a bounded number of bytes.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "input/exif.h"

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
    // Two directories of at most 65,535 entries with a few values each, an
    // ISO media file's "meta" box of at most 1 MB, a few heaps of a CRW file:
    // a few megabytes whatever the file says.
    if (exif.bytesRead() > (uint64_t{6} << 20)) __builtin_trap();
}

}  // namespace geovanta::fuzz

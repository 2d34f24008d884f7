// The EXIF reader on any bytes, written to a file as a photograph would be:
// it must end with its fields filled or its read error, never crash or hang,
// and read a bounded number of bytes. The EXIF thumbnail's finder on the same
// file: what it finds lies inside the file, is no longer than a thumbnail
// may be and is a JPEG image.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "input/exif.h"
#include "input/exifthumbnail.h"

namespace {

const std::string& scratchFile() {
    static const std::string path = [] {
        const char* dir = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return std::string(dir) + "/geovanta-exif-fuzz-" + std::to_string(::getpid()) + ".jpg";
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = scratchFile();
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    geovanta::TExif exif;
    try {
        exif.ReadExif(path);
    } catch (const geovanta::ExifError&) {
        // A damaged file ends with the reader's own error.
    }
    if (exif.DateTimeOriginal.size() > geovanta::TExif::kMaxTextLength) __builtin_trap();
    // Two directories of at most 65,535 entries with one value each, and each
    // text field read once: a few megabytes whatever the file says.
    if (exif.bytesRead() > (uint64_t{4} << 20)) __builtin_trap();

    using geovanta::ExifThumbnail;
    if (const auto at = ExifThumbnail::locate(path)) {
        if (at->length > ExifThumbnail::kMaxLength || at->offset > size || at->length > size - at->offset)
            __builtin_trap();
        if (data[at->offset] != 0xFF || data[at->offset + 1] != 0xD8) __builtin_trap();
    }
    if (ExifThumbnail::read(path).size() > ExifThumbnail::kMaxLength) __builtin_trap();
    return 0;
}

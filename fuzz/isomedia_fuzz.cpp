// The EXIF reader's walk over the boxes of an ISO base media file (HEIF,
// HEIC, AVIF, CR3) on any bytes, written to a file as a photograph would be:
// it must end with its fields filled or its read error, never crash or hang,
// and read a bounded number of bytes. The seeds are such files, so that
// the inputs start as boxes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "input/exif.h"

namespace {

const std::string& scratchFile() {
    static const std::string path = [] {
        const char* dir = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return std::string(dir) + "/geovanta-isomedia-fuzz-" + std::to_string(::getpid()) + ".heic";
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
    // Box headers on two levels, one "meta" box of at most 1 MB, then the
    // TIFF walk's few megabytes at most.
    if (exif.bytesRead() > (uint64_t{6} << 20)) __builtin_trap();
    return 0;
}

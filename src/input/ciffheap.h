#pragma once
// Canon's older raw files (CRW) are no TIFF: they are a heap of records (the
// CIFF layout) whose offset table sits at the heap's end, with sub-heaps
// nested in it. The shooting time is record 0x180E, seconds since 1970 on the
// camera's clock; the camera's make and model are record 0x080A.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "input/exifread.h"

namespace geovanta {

// True for the start of a CRW file: byte order, header length, "HEAPCCDR".
bool isCiffHeader(const unsigned char* head, std::size_t size);

struct CiffRecords {
    // As EXIF writes it, "YYYY:MM:DD HH:MM:SS"; nothing when the file holds none.
    std::optional<std::string> shootingTime;
    std::string make, model;
};

class CiffHeap {
public:
    explicit CiffHeap(PositionedFile& file) : file_(file) {}

    // Throws ExifError when the file's own offset table lies outside it, as
    // in a file cut short.
    CiffRecords records();

private:
    void walk(uint64_t start, uint64_t length, int depth);
    bool done() const { return seconds_ && !make_.empty(); }
    void readMakeModel(uint64_t at, uint64_t size);
    uint16_t get16(const unsigned char* p) const { return motorola_ ? be16(p) : le16(p); }
    uint32_t get32(const unsigned char* p) const { return motorola_ ? be32(p) : le32(p); }

    PositionedFile& file_;
    bool motorola_ = false;
    int heapsLeft_ = 0;
    std::optional<uint32_t> seconds_;
    std::string make_, model_;
};

}  // namespace geovanta

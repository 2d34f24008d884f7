#include "input/ciffheap.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "table/datetime.h"

namespace geovanta {
namespace {

constexpr std::size_t kRecordSize = 10;
// A camera writes a few dozen records in three levels of heaps; these bound
// the walk over a damaged or hostile file.
constexpr uint32_t kMaxRecordsPerHeap = 1024;
constexpr int kMaxDepth = 4;
constexpr int kMaxHeaps = 64;

constexpr uint16_t kCapturedTime = 0x180E;
constexpr uint16_t kStoredInRecord = 0x4000;

bool isSubHeap(uint16_t type) {
    const uint16_t dataType = type & 0x3800;
    return dataType == 0x2800 || dataType == 0x3000;
}

}  // namespace

bool isCiffHeader(const unsigned char* head, std::size_t size) {
    if (size < 14) return false;
    const bool order = (head[0] == 'I' && head[1] == 'I') || (head[0] == 'M' && head[1] == 'M');
    return order && std::memcmp(head + 6, "HEAPCCDR", 8) == 0;
}

std::optional<std::string> CiffHeap::shootingTime() {
    unsigned char header[14];
    readExact(file_, 0, header, sizeof header);
    motorola_ = header[0] == 'M';
    const uint64_t headerLength = get32(header + 2);
    if (headerLength > file_.size()) throw ExifError(readBeyondEndMessage());
    heapsLeft_ = kMaxHeaps;
    const std::optional<uint32_t> seconds = findTime(headerLength, file_.size() - headerLength, 0);
    if (!seconds || *seconds == 0) return std::nullopt;  // 0: a camera without a set clock
    constexpr int64_t kUnixEpochDays = 25569;
    const CivilDateTime t = msToCivil((kUnixEpochDays * 86400 + int64_t{*seconds}) * 1000);
    char text[32];
    std::snprintf(text, sizeof text, "%04d:%02d:%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return std::string(text);
}

// A heap ends with the offset of its table from the heap's start; the table
// is a count and that many records of type, size and offset.
std::optional<uint32_t> CiffHeap::findTime(uint64_t start, uint64_t length, int depth) {
    if (depth > kMaxDepth || heapsLeft_-- <= 0) return std::nullopt;
    uint64_t table = length;
    if (length >= 6) {
        unsigned char word[4];
        readExact(file_, start + length - 4, word, 4);
        table = get32(word);
    }
    if (length < 6 || table > length - 6) {
        // The file's own table is not where its last bytes say: cut short.
        if (depth == 0) throw ExifError(readBeyondEndMessage());
        return std::nullopt;
    }
    unsigned char countBytes[2];
    readExact(file_, start + table, countBytes, 2);
    const uint64_t room = (length - 4 - table - 2) / kRecordSize;
    const auto count = static_cast<std::size_t>(std::min<uint64_t>({get16(countBytes), room, kMaxRecordsPerHeap}));
    unsigned char records[kMaxRecordsPerHeap * kRecordSize];
    readExact(file_, start + table + 2, records, count * kRecordSize);
    for (std::size_t k = 0; k < count; ++k) {
        const unsigned char* r = records + k * kRecordSize;
        const uint16_t type = get16(r);
        const uint64_t size = get32(r + 2), offset = get32(r + 6);
        if (type & kStoredInRecord) continue;  // eight bytes at most: never the time or a heap
        if (offset > length || size > length - offset) continue;
        if (isSubHeap(type)) {
            if (const auto found = findTime(start + offset, size, depth + 1)) return found;
        } else if ((type & 0x3FFF) == kCapturedTime && size >= 4) {
            unsigned char seconds[4];
            readExact(file_, start + offset, seconds, 4);
            return get32(seconds);
        }
    }
    return std::nullopt;
}

}  // namespace geovanta

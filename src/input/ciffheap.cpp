#include "input/ciffheap.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "table/datetime.h"
#include "table/photofacts.h"

namespace geovanta {
namespace {

constexpr std::size_t kRecordSize = 10;
// A camera writes a few dozen records in three levels of heaps; these bound
// the walk over a damaged or hostile file.
constexpr uint32_t kMaxRecordsPerHeap = 1024;
constexpr int kMaxDepth = 4;
constexpr int kMaxHeaps = 64;

constexpr uint16_t kCapturedTime = 0x180E;
constexpr uint16_t kMakeModel = 0x080A;
// Make and model together are some thirty bytes.
constexpr std::size_t kMaxMakeModel = 128;
constexpr uint16_t kStoredInRecord = 0x4000;

std::string trimmed(std::string_view text) {
    text = text.substr(0, kMaxCameraText);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
    return std::string(text);
}

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

CiffRecords CiffHeap::records() {
    unsigned char header[14];
    readExact(file_, 0, header, sizeof header);
    motorola_ = header[0] == 'M';
    const uint64_t headerLength = get32(header + 2);
    if (headerLength > file_.size()) throw ExifError(readBeyondEndMessage());
    heapsLeft_ = kMaxHeaps;
    seconds_.reset();
    make_.clear();
    model_.clear();
    walk(headerLength, file_.size() - headerLength, 0);
    CiffRecords found{std::nullopt, make_, model_};
    if (!seconds_ || *seconds_ == 0) return found;  // 0: a camera without a set clock
    constexpr int64_t kUnixEpochDays = 25569;
    const CivilDateTime t = msToCivil((kUnixEpochDays * 86400 + int64_t{*seconds_}) * 1000);
    char text[32];
    std::snprintf(text, sizeof text, "%04d:%02d:%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    found.shootingTime = text;
    return found;
}

// A heap ends with the offset of its table from the heap's start; the table
// is a count and that many records of type, size and offset. Every read lies
// inside the heap, and the heap inside the file.
void CiffHeap::walk(uint64_t start, uint64_t length, int depth) {
    if (depth > kMaxDepth || heapsLeft_-- <= 0) return;
    uint64_t table = length;
    if (length >= 6) {
        unsigned char word[4];
        readExact(file_, start + length - 4, word, 4);
        table = get32(word);
    }
    if (length < 6 || table > length - 6) {
        // The file's own table is not where its last bytes say: cut short.
        if (depth == 0) throw ExifError(readBeyondEndMessage());
        return;
    }
    unsigned char countBytes[2];
    readExact(file_, start + table, countBytes, 2);
    const uint64_t room = (length - 4 - table - 2) / kRecordSize;
    const auto count = static_cast<std::size_t>(std::min<uint64_t>({get16(countBytes), room, kMaxRecordsPerHeap}));
    unsigned char records[kMaxRecordsPerHeap * kRecordSize];
    readExact(file_, start + table + 2, records, count * kRecordSize);
    for (std::size_t k = 0; k < count && !done(); ++k) {
        const unsigned char* r = records + k * kRecordSize;
        const uint16_t type = get16(r);
        const uint64_t size = get32(r + 2), offset = get32(r + 6);
        if (type & kStoredInRecord) continue;  // eight bytes at most: never these records or a heap
        if (offset > length || size > length - offset) continue;
        if (isSubHeap(type)) {
            walk(start + offset, size, depth + 1);
        } else if ((type & 0x3FFF) == kCapturedTime && size >= 4 && !seconds_) {
            unsigned char seconds[4];
            readExact(file_, start + offset, seconds, 4);
            seconds_ = get32(seconds);
        } else if ((type & 0x3FFF) == kMakeModel && make_.empty()) {
            readMakeModel(start + offset, size);
        }
    }
}

// Two texts, each ending with a zero byte: "Canon", "Canon PowerShot S40".
void CiffHeap::readMakeModel(uint64_t at, uint64_t size) {
    char bytes[kMaxMakeModel];
    const auto n = static_cast<std::size_t>(std::min<uint64_t>(size, sizeof bytes));
    readExact(file_, at, bytes, n);
    const std::string_view all(bytes, n);
    const std::size_t end = all.find('\0');
    if (end == std::string_view::npos) return;
    const std::string_view rest = all.substr(end + 1);
    make_ = trimmed(all.substr(0, end));
    model_ = trimmed(rest.substr(0, rest.find('\0')));
}

}  // namespace geovanta

#include "input/tiffwalk.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace geovanta {
namespace {

constexpr std::size_t kEntrySize = 12;
constexpr std::size_t kEntriesPerRead = 64;
// Some writers leave IFD0's entry count at 0; its entries then run to one
// with tag 0.
constexpr uint32_t kUncountedEntries = 100;

constexpr uint16_t kMake = 0x010F;
constexpr uint16_t kModel = 0x0110;
constexpr uint16_t kExifPointer = 0x8769;
constexpr uint16_t kGpsPointer = 0x8825;
constexpr uint16_t kCameraSerialNumber = 0xC62F;
constexpr uint16_t kMakerNote = 0x927C;
constexpr uint16_t kBodySerialNumber = 0xA431;
constexpr uint16_t kDateTimeOriginal = 0x9003;
constexpr uint16_t kOffsetTime = 0x9010;
constexpr uint16_t kOffsetTimeOriginal = 0x9011;
constexpr uint16_t kSubSecTimeOriginal = 0x9291;

std::string trimTrailingControls(std::string text) {
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.pop_back();
    return text;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Two decimal digits, no sign.
std::optional<int> twoDigits(const char* p) {
    if (!isDigit(p[0]) || !isDigit(p[1])) return std::nullopt;
    int value = 0;
    std::from_chars(p, p + 2, value);
    return value;
}

}  // namespace

std::optional<int> parseZoneOffset(const std::string& text) {
    if (text.size() != 6 || (text[0] != '+' && text[0] != '-') || text[3] != ':') return std::nullopt;
    const auto hours = twoDigits(text.data() + 1);
    const auto minutes = twoDigits(text.data() + 4);
    if (!hours || !minutes || *minutes > 59) return std::nullopt;
    const int total = *hours * 60 + *minutes;
    if (total > 14 * 60) return std::nullopt;
    return text[0] == '-' ? -total : total;
}

uint64_t TiffWalk::firstDirectory() {
    unsigned char header[8];
    readExact(file_, base_, header, sizeof header);
    motorola_ = header[0] == 'M' && header[1] == 'M';
    // Taken as a signed number and its size used, as early readers did.
    const int64_t offset = static_cast<int32_t>(get32(header + 4));
    return base_ + static_cast<uint64_t>(offset < 0 ? -offset : offset);
}

bool TiffWalk::firstDirectoryInFile() {
    if (!fitsIn(file_, base_, 8)) return false;
    return fitsIn(file_, firstDirectory(), 2);
}

ShotTags TiffWalk::walk(Start start) {
    Found found;
    const uint64_t first = firstDirectory();
    if (start == Start::Ifd0 || start == Start::Ifd0Alone) {
        walkDirectory(first, false, found);
        if (start == Start::Ifd0 && found.exifDirectory != 0) walkDirectory(base_ + found.exifDirectory, true, found);
    } else if (start == Start::ExifDirectory) {
        walkDirectory(first, true, found);
    }

    ShotTags tags;
    if (const auto& e = found.dateTimeOriginal) tags.dateTimeOriginal = textAt(base_ + e->value, e->count);
    if (found.subSecond) tags.subSecondMs = subSecondMs(*found.subSecond);
    for (const auto& e : {found.offsetTimeOriginal, found.offsetTime})
        if (e && !tags.zoneMinutes) tags.zoneMinutes = parseZoneOffset(shortText(*e));
    tags.camera = camera(found);
    if (start == Start::GpsDirectory)
        tags.gps = gps(first);
    else if (start == Start::Ifd0 && found.gpsDirectory != 0)
        tags.gps = gps(base_ + found.gpsDirectory);
    return tags;
}

// A tag counts only in its own directory: IFD0 is looked at for the
// pointers and the camera, the Exif directory for the time tags; the later
// of two entries of one tag wins.
void TiffWalk::walkDirectory(uint64_t pos, bool exif, Found& found) {
    unsigned char countBytes[2];
    readExact(file_, pos, countBytes, 2);
    uint32_t count = get16(countBytes);
    if (count == 0) {
        if (exif) return;
        count = kUncountedEntries;
    }
    pos += 2;
    unsigned char block[kEntriesPerRead * kEntrySize];
    for (uint32_t done = 0; done < count;) {
        const std::size_t n = std::min<std::size_t>(kEntriesPerRead, count - done);
        const std::size_t got = readUpTo(file_, pos + uint64_t{done} * kEntrySize, block, n * kEntrySize);
        for (std::size_t k = 0; k < n; ++k) {
            if ((k + 1) * kEntrySize > got) throw ExifError(readBeyondEndMessage());
            const Entry e = readEntry(block + k * kEntrySize);
            if (e.tag == 0) return;
            note(e, exif, found);
        }
        done += static_cast<uint32_t>(n);
    }
}

void TiffWalk::note(const Entry& e, bool exif, Found& found) const {
    if (!exif) {
        switch (e.tag) {
            case kExifPointer: found.exifDirectory = e.value; break;
            case kGpsPointer: found.gpsDirectory = e.value; break;
            case kMake: found.make = e; break;
            case kModel: found.model = e; break;
            case kCameraSerialNumber: found.cameraSerial = e; break;
            case kBodySerialNumber: found.ifd0BodySerial = e; break;  // misplaced, but some cameras do
            default: break;
        }
        return;
    }
    switch (e.tag) {
        case kDateTimeOriginal: found.dateTimeOriginal = e; break;
        case kSubSecTimeOriginal: found.subSecond = e; break;
        case kOffsetTimeOriginal: found.offsetTimeOriginal = e; break;
        case kOffsetTime: found.offsetTime = e; break;
        case kBodySerialNumber: found.bodySerial = e; break;
        case kMakerNote: found.makerNote = e; break;
        default: break;
    }
}

std::vector<TiffWalk::Entry> TiffWalk::entriesAt(uint64_t pos, uint32_t most) {
    unsigned char countBytes[2];
    if (readUpTo(file_, pos, countBytes, 2) < 2) return {};
    const uint32_t count = std::min<uint32_t>(get16(countBytes), most);
    std::vector<unsigned char> bytes(count * kEntrySize);
    const std::size_t got = readUpTo(file_, pos + 2, bytes.data(), bytes.size());
    std::vector<Entry> entries;
    for (std::size_t k = 0; (k + 1) * kEntrySize <= got; ++k)
        entries.push_back(readEntry(bytes.data() + k * kEntrySize));
    return entries;
}

TiffWalk::Entry TiffWalk::readEntry(const unsigned char* p) const {
    Entry e;
    e.tag = get16(p);
    e.type = get16(p + 2);
    e.count = get32(p + 4);
    std::memcpy(e.field.data(), p + 8, 4);
    // BYTE and SHORT values keep their low byte, as the reader always did.
    e.value = (e.type == 1 || e.type == 3) ? (get16(p + 8) & 0xFFu) : get32(p + 8);
    return e;
}

// The last byte of a text value is its terminating zero and is not read.
std::string TiffWalk::textAt(uint64_t offset, uint32_t count, uint32_t most) {
    if (count == 0) return "";
    const uint32_t want = std::min({count >= 2 ? count - 1 : 1, kMaxTextLength, most});
    std::string text;
    // Most texts are short, and a long value usually ends early at a zero
    // byte, so read in growing pieces.
    std::size_t piece = 64;
    while (text.size() < want) {
        const std::size_t n = std::min<std::size_t>(piece, want - text.size());
        const std::size_t had = text.size();
        text.resize(had + n);
        const std::size_t got = readUpTo(file_, offset + had, text.data() + had, n);
        if (const void* zero = std::memchr(text.data() + had, 0, got)) {
            text.resize(static_cast<std::size_t>(static_cast<const char*>(zero) - text.data()));
            return trimTrailingControls(std::move(text));
        }
        if (got < n) throw ExifError(readBeyondEndMessage());  // the file ends inside the value
        piece = 4096;
    }
    return trimTrailingControls(std::move(text));
}

// Unlike the date, these short texts are read as TIFF stores them: a value
// of up to four bytes sits in the entry's field itself.
std::string TiffWalk::shortText(const Entry& e, uint32_t most) {
    const bool oneByteType = e.type == 1 || e.type == 2 || e.type == 7;  // BYTE, ASCII, UNDEFINED
    if (!oneByteType || e.count == 0) return "";
    if (e.count > 4) return textAt(base_ + e.value, e.count, most);
    std::string text(reinterpret_cast<const char*>(e.field.data()), e.count);
    return trimTrailingControls(text.substr(0, text.find('\0')));
}

uint16_t TiffWalk::subSecondMs(const Entry& e) {
    std::string text = shortText(e);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return 0;
    text.resize(3, '0');
    int ms = 0;
    std::from_chars(text.data(), text.data() + 3, ms);
    return static_cast<uint16_t>(ms);
}

}  // namespace geovanta

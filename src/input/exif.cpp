#include "input/exif.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "table/numbertext.h"

namespace geovanta {

namespace {

// Positions at or beyond 2 GiB cannot be reached by the reader's file moves.
constexpr uint64_t kPositionLimit = uint64_t{1} << 31;
// A JPEG has a few dozen segments before its image data; this bounds the walk
// over a damaged or hostile file.
constexpr int kMaxSegments = 4096;
constexpr std::size_t kEntrySize = 12;
constexpr std::size_t kEntriesPerRead = 64;
constexpr uint64_t npos = ~uint64_t{0};

class CloseOnExit {
public:
    explicit CloseOnExit(PositionedFile& f) : f_(f) {}
    ~CloseOnExit() { f_.close(); }
    CloseOnExit(const CloseOnExit&) = delete;
    CloseOnExit& operator=(const CloseOnExit&) = delete;

private:
    PositionedFile& f_;
};

uint16_t be16(const unsigned char* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

std::string trimTrailingControls(std::string text) {
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.pop_back();
    return text;
}

// "YYYY:MM:DD HH:MM:SS", digits where digits belong.
bool looksLikeDateTime(const std::string& text) {
    static constexpr char kPattern[] = "0000:00:00 00:00:00";
    if (text.size() != sizeof kPattern - 1) return false;
    for (std::size_t k = 0; k < text.size(); ++k) {
        const bool digit = text[k] >= '0' && text[k] <= '9';
        if (kPattern[k] == '0' ? !digit : text[k] != kPattern[k]) return false;
    }
    return true;
}

}  // namespace

void TExif::ClearFields() {
    ImageDescription.clear();
    Make.clear();
    Model.clear();
    Orientation = 0;
    OrientationText.clear();
    RightsNotice.clear();
    ExifFound = false;
    DateTime.clear();
    DateTimeOriginal.clear();
    DateTimeDigitized.clear();
    UserComment.clear();
    ExposureTime.clear();
    FNumber.clear();
    ShutterSpeed.clear();
    ApertureValue.clear();
    MaxApertureValue.clear();
    ExposureProgram = 0;
    ExposureProgramText.clear();
    PixelXDimension = PixelYDimension = 0;
    XResolution = YResolution = 0;
    MeteringMode = 0;
    MeteringModeText.clear();
    LightSource = 0;
    LightSourceText.clear();
    Flash = 0;
    FlashText.clear();
    ISOSpeedRatings = 0;
    Software.clear();
    Artist.clear();
    CompressedBitsPerPixel.clear();
    SubSecTimeOriginalMs = 0;
    ExifIFDOffset = 0;
    subSecond_.reset();
}

void TExif::ReadExif(const std::string& FileName) {
    // Fields never carry over from an earlier file: a folder or an unreadable
    // name must not pass on the previous photograph's shooting time.
    ClearFields();
    if (SourceFile.open(FileName) != PositionedFile::OpenResult::Opened) return;
    CloseOnExit closer(SourceFile);

    unsigned char start[2];
    readExact(0, start, 2);
    if (start[0] == 'M' && start[1] == 'M')
        readRaw(true);
    else if (start[0] == 'I' && start[1] == 'I')
        readRaw(false);
    else if (start[0] == 0xFF && start[1] == 0xD8)
        readJpeg();
}

// Raw camera files are TIFF structures. Their walk is best effort: a
// structure the walk cannot follow leaves the date empty instead of failing
// the file, and an "MM" file without a date found keeps the old fixed place.
void TExif::readRaw(bool motorola) {
    ExifFound = true;
    try {
        walkTiff(0);
    } catch (const ExifError& e) {
        if (std::strcmp(e.what(), kReadBeyondEndOfFile) != 0) throw;
    }
    readSubSecond();
    if (motorola && DateTimeOriginal.empty()) {
        // Early raw files kept the shooting time at this fixed place; other
        // files hold anything there, so only a date-time is taken from it.
        std::string fixed = ReadTextAt(372, 20);
        if (looksLikeDateTime(fixed)) DateTimeOriginal = std::move(fixed);
    }
}

void TExif::readJpeg() {
    const uint64_t app1 = findExifApp1();
    if (app1 == npos) return;
    ExifFound = true;
    // Marker (2), length (2) and "Exif\0\0" (6) come before the TIFF header.
    walkTiff(app1 + 10);
    readSubSecond();
}

// Reads the head of a segment at one of the fixed places: marker, length and
// identifier. A head cut short by the end of the file is an error there.
bool TExif::isExifApp1At(uint64_t pos, unsigned char* marker) {
    unsigned char head[10] = {};
    const long long got = SourceFile.readAt(pos, head, sizeof head);
    if (got < 0) throw ExifError(fileLayerMessage(SourceFile.lastError()));
    if (got < 9) throw ExifError(kReadBeyondEndOfFile);
    if (marker) marker[0] = head[0], marker[1] = head[1];
    return got == 10 && head[0] == 0xFF && head[1] == 0xE1 && std::memcmp(head + 4, "Exif\0\0", 6) == 0;
}

// Cameras put the EXIF segment straight after the start of image, or after a
// 16-byte JFIF segment; other writers put XMP, ICC profiles, comments or
// longer APP0 segments first, so the segment chain is walked up to the start
// of scan when the fixed places do not hold it.
uint64_t TExif::findExifApp1() {
    unsigned char marker[2];
    if (isExifApp1At(2, marker)) return 2;
    if (marker[0] == 0xFF && marker[1] == 0xE0 && isExifApp1At(20)) return 20;

    uint64_t pos = 2;
    for (int step = 0; step < kMaxSegments && pos < SourceFile.size(); ++step) {
        unsigned char head[10] = {};
        const long long got = SourceFile.readAt(pos, head, sizeof head);
        if (got < 0) throw ExifError(fileLayerMessage(SourceFile.lastError()));
        if (got < 2 || head[0] != 0xFF) return npos;  // the chain is broken
        const unsigned char m = head[1];
        if (m == 0xFF) {  // fill byte before a marker
            pos += 1;
            continue;
        }
        if (m == 0x01 || (m >= 0xD0 && m <= 0xD8)) {  // markers without a length
            pos += 2;
            continue;
        }
        if (m == 0xDA || m == 0xD9) return npos;  // image data or end of image
        if (got < 4) return npos;
        const uint16_t length = be16(head + 2);
        if (length < 2) return npos;
        if (m == 0xE1 && got == 10 && std::memcmp(head + 4, "Exif\0\0", 6) == 0) return pos;
        pos += 2u + length;
    }
    return npos;
}

void TExif::walkTiff(uint64_t base) {
    tiffBase_ = base;
    unsigned char header[8];
    readExact(base, header, sizeof header);
    MotorolaOrder = header[0] == 'M' && header[1] == 'M';
    const int64_t signedOffset = static_cast<int32_t>(get32(header + 4));
    const uint64_t ifd0 = static_cast<uint64_t>(signedOffset < 0 ? -signedOffset : signedOffset);
    readDirectory(base + ifd0, Directory::Ifd0);
    if (ExifIFDOffset != 0) readDirectory(base + ExifIFDOffset, Directory::Exif);
}

// Unlike the other texts, which the reader always takes from the offset in
// the value field, the fraction of a second is read as TIFF stores it: a
// value of up to four bytes sits in the field itself, and cameras write two
// or three digits.
void TExif::readSubSecond() {
    if (!subSecond_) return;
    const Entry& e = *subSecond_;
    const bool oneByteType = e.type == 1 || e.type == 2 || e.type == 7;  // BYTE, ASCII, UNDEFINED
    if (!oneByteType || e.count == 0) return;
    std::string text;
    if (e.count <= 4) {
        text.assign(reinterpret_cast<const char*>(e.field.data()), e.count);
        text = trimTrailingControls(text.substr(0, text.find('\0')));
    } else {
        text = ReadTextAt(tiffBase_ + e.value, e.count);
    }
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return;
    text.resize(3, '0');
    SubSecTimeOriginalMs = static_cast<uint16_t>(std::stoi(text));
}

// Text values are read once the directory's entries are walked, and only the
// last entry of each tag, which wins anyway: a directory repeating one text
// tag thousands of times over a long value would otherwise read gigabytes.
void TExif::deferText(DeferredTexts& texts, std::string* field, const Entry& e) {
    for (auto& slot : texts)
        if (slot.first == field) {
            slot.second = e;
            return;
        }
    texts.emplace_back(field, e);
}

void TExif::readDeferred(const DeferredTexts& texts) {
    for (const auto& [field, e] : texts) *field = ReadTextAt(tiffBase_ + e.value, e.count);
}

std::string* TExif::textField(Directory dir, uint16_t tag) {
    if (dir == Directory::Exif) {
        switch (tag) {
            case 0x9003: return &DateTimeOriginal;
            case 0x9004: return &DateTimeDigitized;
            case 0x9286: return &UserComment;
            default: return nullptr;
        }
    }
    switch (tag) {
        case 0x010E: return &ImageDescription;
        case 0x010F: return &Make;
        case 0x0110: return &Model;
        case 0x0131: return &Software;
        case 0x0132: return &DateTime;
        case 0x013B: return &Artist;
        case 0x8298: return &RightsNotice;
        default: return nullptr;
    }
}

void TExif::readDirectory(uint64_t pos, Directory dir) {
    DeferredTexts texts;
    try {
        walkEntries(pos, dir, texts);
    } catch (const ExifError&) {
        readDeferred(texts);  // the texts before a read error count
        throw;
    }
    readDeferred(texts);
}

void TExif::walkEntries(uint64_t pos, Directory dir, DeferredTexts& texts) {
    unsigned char countBytes[2];
    readExact(pos, countBytes, 2);
    uint32_t count = get16(countBytes);
    if (count == 0) {
        if (dir == Directory::Exif) return;
        count = 100;  // some writers leave IFD0's count empty; a tag 0 ends it
    }
    pos += 2;
    unsigned char block[kEntriesPerRead * kEntrySize];
    for (uint32_t done = 0; done < count;) {
        const std::size_t n = std::min<std::size_t>(kEntriesPerRead, count - done);
        const long long got = SourceFile.readAt(pos + uint64_t{done} * kEntrySize, block, n * kEntrySize);
        if (got < 0) throw ExifError(fileLayerMessage(SourceFile.lastError()));
        for (std::size_t k = 0; k < n; ++k) {
            if (static_cast<long long>((k + 1) * kEntrySize) > got) throw ExifError(kReadBeyondEndOfFile);
            const Entry e = ReadEntry(block + k * kEntrySize);
            if (e.tag == 0) return;
            if (std::string* field = textField(dir, e.tag))
                deferText(texts, field, e);
            else if (dir == Directory::Ifd0)
                handleIfd0Entry(e);
            else
                handleExifEntry(e);
        }
        done += static_cast<uint32_t>(n);
    }
}

TExif::Entry TExif::ReadEntry(const unsigned char* p) const {
    Entry e;
    e.tag = get16(p);
    e.type = get16(p + 2);
    e.count = get32(p + 4);
    std::memcpy(e.field.data(), p + 8, 4);
    if (e.type == 1 || e.type == 3) {
        const uint16_t v = get16(p + 8);
        e.value = e.tag == 0x8827 ? v : (v & 0xFFu);
    } else {
        e.value = get32(p + 8);
    }
    return e;
}

void TExif::handleIfd0Entry(const Entry& e) {
    const uint64_t at = tiffBase_ + e.value;
    switch (e.tag) {
        case 0x0112:
            Orientation = static_cast<uint8_t>(e.value);
            OrientationText = (Orientation >= 1 && Orientation <= 8) ? OrientationNames[Orientation - 1u]
                                                                      : OrientationNames[8];
            break;
        case 0x011A: XResolution = ReadLongAt(at); break;
        case 0x011B: YResolution = ReadLongAt(at); break;
        case 0x8769: ExifIFDOffset = e.value; break;
        default: break;
    }
}

void TExif::handleExifEntry(const Entry& e) {
    const uint64_t at = tiffBase_ + e.value;
    switch (e.tag) {
        case 0x829A: ExposureTime = RationalText(at, false) + " seconds"; break;
        case 0x829D: FNumber = RationalText(at, true); break;
        case 0x8822:
            ExposureProgram = static_cast<uint8_t>(e.value);
            ExposureProgramText = e.value <= 8 ? ExposureProgramNames[e.value] : "Unknown";
            break;
        case 0x8827: ISOSpeedRatings = static_cast<uint16_t>(e.value); break;
        case 0x9102: CompressedBitsPerPixel = RationalText(at, true); break;
        case 0x9201: ShutterSpeed = shutterText(at); break;
        case 0x9202: ApertureValue = RationalText(at, true); break;
        case 0x9205: MaxApertureValue = RationalText(at, true); break;
        case 0x9207:
            MeteringMode = static_cast<uint8_t>(e.value);
            MeteringModeText = meteringModeName(e.value);
            break;
        case 0x9208:
            LightSource = static_cast<uint8_t>(e.value);
            LightSourceText = lightSourceName(e.value);
            break;
        case 0x9209:
            Flash = static_cast<uint8_t>(e.value);
            FlashText = flashName(e.value);
            break;
        case 0x9291: subSecond_ = e; break;
        case 0xA002: PixelXDimension = e.value; break;
        case 0xA003: PixelYDimension = e.value; break;
        default: break;
    }
}

void TExif::readExact(uint64_t pos, void* buffer, std::size_t count) {
    if (pos > SourceFile.size() || count > SourceFile.size() - pos) throw ExifError(kReadBeyondEndOfFile);
    const long long got = SourceFile.readAt(pos, buffer, count);
    if (got < 0) throw ExifError(fileLayerMessage(SourceFile.lastError()));
    if (static_cast<std::size_t>(got) < count) throw ExifError(kReadBeyondEndOfFile);
}

// Value readers trap every failure: an unreadable value empties its own field
// and the walk goes on with the next entry.
std::string TExif::ReadTextAt(uint64_t Offset, uint32_t Count) {
    if (Count == 0 || Offset >= kPositionLimit) return "";
    // The last byte of a text value is its terminating zero and is not read.
    uint32_t want = Count >= 2 ? Count - 1 : 1;
    if (want > kMaxTextLength) want = kMaxTextLength;
    std::string text;
    // Most texts are short, and a long value usually ends early at a zero
    // byte, so read in growing pieces.
    std::size_t piece = 64;
    while (text.size() < want) {
        const std::size_t n = std::min<std::size_t>(piece, want - text.size());
        const std::size_t had = text.size();
        text.resize(had + n);
        const long long got = SourceFile.readAt(Offset + had, text.data() + had, n);
        if (got < 0) return "";
        const void* zero = std::memchr(text.data() + had, 0, static_cast<std::size_t>(got));
        if (zero) {
            text.resize(static_cast<std::size_t>(static_cast<const char*>(zero) - text.data()));
            return trimTrailingControls(std::move(text));
        }
        if (static_cast<std::size_t>(got) < n) return "";  // the value runs past the end of the file
        piece = 4096;
    }
    return trimTrailingControls(std::move(text));
}

uint32_t TExif::ReadLongAt(uint64_t Offset) {
    unsigned char b[4];
    if (Offset >= kPositionLimit || SourceFile.readAt(Offset, b, 4) != 4) return 0;
    return get32(b);
}

bool TExif::readRational(uint64_t Offset, uint32_t& num, uint32_t& den) {
    unsigned char b[8];
    if (Offset >= kPositionLimit || SourceFile.readAt(Offset, b, 8) != 8) return false;
    num = get32(b);
    den = get32(b + 4);
    return true;
}

std::string TExif::RationalText(uint64_t Offset, bool Decimal) {
    uint32_t num = 0, den = 0;
    if (!readRational(Offset, num, den)) return "";
    if (!Decimal) {
        if (den == 1000000) return "0";
        return std::to_string(num) + "/" + std::to_string(den);
    }
    if (den == 0) return "";
    std::string text = formatFixed(static_cast<long double>(num) / den, 2);
    if (!text.empty() && text.back() == '0') text.pop_back();
    return text;
}

float TExif::RationalValue(uint64_t Offset) {
    uint32_t num = 0, den = 0;
    if (!readRational(Offset, num, den) || den == 0) return 0.0f;
    return static_cast<float>(static_cast<double>(num) / den);
}

// The APEX shutter value Tv stands for an exposure of 1/2^Tv seconds.
std::string TExif::shutterText(uint64_t Offset) {
    if (Offset >= kPositionLimit) return "";
    const float tv = RationalValue(Offset);
    if (tv >= 65535.0f) return "1 seconds";
    const long double n = std::floor(std::pow(2.0L, static_cast<long double>(tv)) + 0.5L);
    if (!std::isfinite(n)) return "";
    char digits[64];
    const int len = n < 1e18L ? std::snprintf(digits, sizeof digits, "%llu", static_cast<unsigned long long>(n))
                              : std::snprintf(digits, sizeof digits, "%.15Lg", n);
    if (len <= 0 || len >= static_cast<int>(sizeof digits)) return "";
    return "1/" + std::string(digits, static_cast<std::size_t>(len)) + " seconds";
}

uint16_t TExif::get16(const unsigned char* p) const {
    return MotorolaOrder ? static_cast<uint16_t>(p[0] << 8 | p[1]) : static_cast<uint16_t>(p[1] << 8 | p[0]);
}

uint32_t TExif::get32(const unsigned char* p) const {
    const uint32_t le = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
    return MotorolaOrder ? SwapLong(le) : le;
}

}  // namespace geovanta

#include "input/exif.h"

#include <cmath>
#include <cstdio>
#include <cstring>


namespace geovanta {

namespace {

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

}  // namespace geovanta

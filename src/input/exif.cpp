#include "input/exif.h"

#include "input/ciffheap.h"
#include "input/isomediaexif.h"
#include "input/jpegexif.h"
#include "input/locationtags.h"
#include "input/tiffwalk.h"

namespace geovanta {

namespace {

static_assert(TExif::kMaxTextLength == TiffWalk::kMaxTextLength);

class CloseOnExit {
public:
    explicit CloseOnExit(PositionedFile& f) : f_(f) {}
    ~CloseOnExit() { f_.close(); }
    CloseOnExit(const CloseOnExit&) = delete;
    CloseOnExit& operator=(const CloseOnExit&) = delete;

private:
    PositionedFile& f_;
};

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

// Early raw files kept the shooting time at this fixed place.
constexpr uint64_t kFixedDatePlace = 372;

// TIFF's own 42, and the numbers Olympus ("RO", "RS") and Panasonic (0x55)
// put there in their raw files.
bool hasTiffMagic(const unsigned char* head, std::size_t size, bool motorola) {
    if (size < 4) return false;
    const uint16_t magic = motorola ? be16(head + 2) : le16(head + 2);
    return magic == 42 || magic == 0x4F52 || magic == 0x5352 || magic == 0x55;
}

}  // namespace

void TExif::ClearFields() {
    ExifFound = false;
    DateTimeOriginal.clear();
    SubSecTimeOriginalMs = 0;
    TimeZoneOffsetMinutes.reset();
    Camera = {};
    GpsPosition.reset();
    Place = {};
    Iptc = IptcKind::None;
}

void TExif::ReadExif(const std::string& FileName) {
    // Fields never carry over from an earlier file: a folder or an unreadable
    // name must not pass on the previous photograph's shooting time.
    ClearFields();
    if (SourceFile.open(FileName) != PositionedFile::OpenResult::Opened) return;
    CloseOnExit closer(SourceFile);

    unsigned char head[16] = {};
    const std::size_t got = readUpTo(SourceFile, 0, head, sizeof head);
    if (got < 2) throw ExifError(readBeyondEndMessage());
    const bool ii = head[0] == 'I' && head[1] == 'I', mm = head[0] == 'M' && head[1] == 'M';
    if (head[0] == 0xFF && head[1] == 0xD8)
        readJpeg(0);
    else if (isCiffHeader(head, got))
        readCiff();
    else if (ii || mm)
        readRaw(mm, hasTiffMagic(head, got, mm));
    else if (isRafHeader(head, got)) {
        if (const auto soi = rafJpegOffset(SourceFile)) readJpeg(*soi);
    } else if (isIsoMediaHeader(head, got))
        readIsoMedia();
}

void TExif::readFrom(uint64_t tiffBase, bool exifDirectoryFirst) {
    ExifFound = true;
    TiffWalk walk(SourceFile, tiffBase);
    ShotTags tags = walk.walk(exifDirectoryFirst ? TiffWalk::Start::ExifDirectory : TiffWalk::Start::Ifd0);
    DateTimeOriginal = std::move(tags.dateTimeOriginal);
    SubSecTimeOriginalMs = tags.subSecondMs;
    TimeZoneOffsetMinutes = tags.zoneMinutes;
    Camera = std::move(tags.camera);
    GpsPosition = tags.gps;
}

void TExif::readJpeg(uint64_t soi) {
    if (const auto base = findJpegExif(SourceFile, soi)) readFrom(*base, false);
    readJpegPlace(soi);
}

// The place names are not needed for the time: a damaged segment leaves
// them out.
void TExif::readJpegPlace(uint64_t soi) {
    try {
        const JpegMetadata found = findJpegMetadata(SourceFile, soi);
        auto payload = [this](const std::optional<JpegSegment>& segment) {
            std::string bytes;
            if (!segment) return bytes;
            bytes.resize(segment->length);
            readExact(SourceFile, segment->offset, bytes.data(), bytes.size());
            return bytes;
        };
        const PlaceNames xmp = placeNamesFromXmp(payload(found.xmp));
        const std::string resources = payload(found.photoshop);
        const auto iptc = iptcOfPhotoshop(resources);
        Place = photoPlaceNames(xmp, iptc ? placeNamesFromIptc(*iptc) : PlaceNames{});
        Iptc = iptc ? iptcKind(*iptc) : IptcKind::None;
    } catch (const ExifError&) {
        Place = {};
        Iptc = IptcKind::None;
    }
}

// A TIFF file whose structure runs past its end was cut short, as a JPEG's
// EXIF data can be. Without a TIFF magic number the layout is another
// maker's: a walk that cannot start is no error there.
void TExif::readRaw(bool motorola, bool tiffMagic) {
    ExifFound = true;
    if (tiffMagic || TiffWalk(SourceFile, 0).firstDirectoryInFile()) readFrom(0, false);
    if (motorola && DateTimeOriginal.empty()) {
        // Other files hold anything at the fixed place, so only a date-time
        // is taken from it.
        char fixed[19];
        if (readUpTo(SourceFile, kFixedDatePlace, fixed, sizeof fixed) == sizeof fixed) {
            std::string text(fixed, sizeof fixed);
            if (looksLikeDateTime(text)) DateTimeOriginal = std::move(text);
        }
    }
}

void TExif::readCiff() {
    ExifFound = true;
    CiffHeap heap(SourceFile);
    const CiffRecords records = heap.records();
    DateTimeOriginal = records.shootingTime.value_or("");
    Camera.make = records.make;
    Camera.model = records.model;
}

void TExif::readIsoMedia() {
    const auto place = findIsoMediaExif(SourceFile);
    if (!place) return;
    readFrom(place->tiffBase, place->exifDirectoryFirst);
    // CR3 keeps the camera and the position apart from the time; they are
    // not needed for it, so a damaged one is left out.
    auto lenient = [&](uint64_t base, TiffWalk::Start start) -> ShotTags {
        try {
            return TiffWalk(SourceFile, base).walk(start);
        } catch (const ExifError&) {
            return {};
        }
    };
    if (place->ifd0Base) {
        ShotTags ifd0 = lenient(*place->ifd0Base, TiffWalk::Start::Ifd0Alone);
        Camera.make = std::move(ifd0.camera.make);
        Camera.model = std::move(ifd0.camera.model);
        if (Camera.serial.empty()) Camera.serial = std::move(ifd0.camera.serial);
    }
    if (place->gpsBase) GpsPosition = lenient(*place->gpsBase, TiffWalk::Start::GpsDirectory).gps;
}

}  // namespace geovanta

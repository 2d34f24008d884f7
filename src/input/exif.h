#pragma once
// TExif: finds a photograph's shooting time in its EXIF data with a few
// small positioned reads; a file is never read whole.
//
// Understands JPEG files with an "Exif" APP1 segment, raw files laid out as
// TIFF ("II" or "MM" first, whatever their magic number: DNG, NEF, CR2, ARW,
// ORF, RW2, PEF, IIQ and others), Fujifilm's RAF (the JPEG image it embeds),
// ISO base media files (HEIF, HEIC, AVIF and Canon's CR3) and Canon's CIFF
// layout (CRW). Text fields hold the file's bytes as read, without code-page
// conversion.

#include <cstdint>
#include <optional>
#include <string>

#include "input/exifread.h"
#include "input/positionedfile.h"
#include "table/photofacts.h"

namespace geovanta {

class TExif {
public:
    // True once the file's EXIF data (or its raw layout) is located, before
    // any tag is read: it does not mean that a shooting time was found.
    bool ExifFound = false;
    // Exif tag 0x9003 as the file holds it; for a CRW file its shooting time
    // written the same way, "YYYY:MM:DD HH:MM:SS".
    std::string DateTimeOriginal;
    // Exif tag 0x9291, the fraction of a second of DateTimeOriginal: its
    // first three digits as milliseconds ("25" is 250, "5" is 500, "123456"
    // is 123); 0 without the tag or when it holds anything but digits.
    uint16_t SubSecTimeOriginalMs = 0;
    // Minutes east of UTC that the camera recorded for the shooting time:
    // OffsetTimeOriginal (0x9011), else OffsetTime (0x9010), each "+HH:MM"
    // or "-HH:MM"; nothing without a readable one.
    std::optional<int> TimeZoneOffsetMinutes;
    // The camera: Make and Model of IFD0 (a CRW file's own record of both)
    // and its serial number, BodySerialNumber (0xA431), else the one in
    // Canon's or Nikon's maker notes, else DNG's CameraSerialNumber (0xC62F).
    // Empty where the file does not tell.
    CameraKey Camera;
    // The position of the GPS directory, when it holds one that makes sense.
    std::optional<PhotoGps> GpsPosition;
    // The names of where it was taken that a JPEG image carries in its
    // metadata segments (XMP, else IPTC), and whether it has IPTC records.
    // Read leniently.
    PlaceNames Place;
    IptcKind Iptc = IptcKind::None;

    TExif() = default;

    // Reads one file. Every call starts from reset fields; a name that is not
    // a readable regular file leaves them so. Throws ExifError when a read
    // fails or when the structures leading to the shooting time, or its
    // text, run past the end of the file: such a file was cut short.
    void ReadExif(const std::string& FileName);
    void ClearFields();

    // Bytes read from files by this reader since it was made.
    uint64_t bytesRead() const { return SourceFile.bytesRead(); }

    // Longest text value read; longer values are cut to this.
    static constexpr uint32_t kMaxTextLength = 65535;

private:
    void readFrom(uint64_t tiffBase, bool exifDirectoryFirst);
    void readJpeg(uint64_t soi);
    void readJpegPlace(uint64_t soi);
    void readRaw(bool motorola, bool tiffMagic);
    void readCiff();
    void readIsoMedia();

    PositionedFile SourceFile;
};

}  // namespace geovanta

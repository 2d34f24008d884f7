#pragma once
// The walk over TIFF data that finds a photograph's shooting time: IFD0 and
// the Exif sub-directory it points at, or an Exif directory on its own as
// some containers keep it. Offsets count from the TIFF header (the base),
// which the container walks find; every read is checked against the file.
// The same walk notes the camera (tiffcamera.cpp) and the GPS directory
// (tiffgps.cpp) on its way.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "input/exifread.h"
#include "table/photofacts.h"

namespace geovanta {

// The tags the program uses: the shooting time, its fraction of a second and
// the time zone the camera recorded for it; and the camera and the position,
// which are read leniently: a value outside the file or without sense is
// left out, and the photograph still has its time.
struct ShotTags {
    // Exif tag 0x9003 as the file holds it, trailing blanks and controls removed.
    std::string dateTimeOriginal;
    // Exif tag 0x9291: its first three digits as milliseconds ("25" is 250,
    // "123456" is 123); 0 without the tag or when it holds anything but digits.
    uint16_t subSecondMs = 0;
    // Minutes east of UTC from OffsetTimeOriginal (0x9011), else OffsetTime
    // (0x9010), written "+HH:MM" or "-HH:MM"; nothing without a readable one.
    std::optional<int> zoneMinutes;
    // Make (0x010F) and Model (0x0110) of IFD0; the serial from
    // BodySerialNumber (0xA431), else Canon's or Nikon's maker notes, else
    // DNG's CameraSerialNumber (0xC62F).
    CameraKey camera;
    // The GPS directory's position, time and altitude.
    std::optional<PhotoGps> gps;
};

// "+03:00" as 180, "-09:30" as -570; nothing for any other text or for a zone
// beyond 14 hours either side.
std::optional<int> parseZoneOffset(const std::string& text);

class TiffWalk {
public:
    // Where the walk starts: at IFD0, following its pointers to the Exif and
    // GPS directories; at IFD0 alone; or at a lone Exif or GPS directory, as
    // Canon's CR3 files keep each of the three as TIFF data of its own.
    enum class Start { Ifd0, Ifd0Alone, ExifDirectory, GpsDirectory };

    TiffWalk(PositionedFile& file, uint64_t base) : file_(file), base_(base) {}

    // Whether the header and the first directory's entry count lie inside
    // the file; raw files of other layouts often fail this.
    bool firstDirectoryInFile();

    // Throws ExifError when the header, IFD0 or the Exif directory, an entry
    // or one of the time texts runs past the end of the file: such a file
    // was cut short.
    ShotTags walk(Start start);

    // Longest text value read; longer values are cut to this.
    static constexpr uint32_t kMaxTextLength = 65535;

private:
    struct Entry {
        uint16_t tag = 0;
        uint16_t type = 0;
        uint32_t count = 0;
        uint32_t value = 0;
        std::array<unsigned char, 4> field{};  // the value field as the file holds it
    };
    // The last entry of each tag met; texts are read once the directory's
    // entries are walked, so a directory repeating a tag thousands of times
    // over a long value costs one read of it.
    struct Found {
        std::optional<Entry> dateTimeOriginal, subSecond, offsetTimeOriginal, offsetTime;
        std::optional<Entry> make, model, cameraSerial, ifd0BodySerial, bodySerial, makerNote;
        uint32_t exifDirectory = 0, gpsDirectory = 0;
    };

    uint64_t firstDirectory();
    void walkDirectory(uint64_t pos, bool exif, Found& found);
    void note(const Entry& e, bool exif, Found& found) const;
    Entry readEntry(const unsigned char* bytes) const;
    std::string textAt(uint64_t offset, uint32_t count, uint32_t most = kMaxTextLength);
    std::string shortText(const Entry& e, uint32_t most = kMaxTextLength);
    uint16_t subSecondMs(const Entry& e);

    // tiffcamera.cpp
    CameraKey camera(const Found& found);
    std::string makerNoteSerial(const Entry& note, const CameraKey& camera);
    std::string canonSerial(uint64_t directory, const std::string& model);
    std::string nikonSerial(uint64_t directory);

    // tiffgps.cpp
    std::optional<PhotoGps> gps(uint64_t directory);
    // Up to `count` unsigned or signed rationals of an entry as numbers;
    // nothing when one has a zero denominator or lies outside the file.
    std::optional<std::vector<double>> rationals(const Entry& e, uint32_t count);

    // The entries of a directory that lie in the file, at most `most`.
    std::vector<Entry> entriesAt(uint64_t pos, uint32_t most);

    uint16_t get16(const unsigned char* p) const { return motorola_ ? be16(p) : le16(p); }
    uint32_t get32(const unsigned char* p) const { return motorola_ ? be32(p) : le32(p); }

    PositionedFile& file_;
    uint64_t base_;
    bool motorola_ = false;
};

}  // namespace geovanta

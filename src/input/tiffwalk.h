#pragma once
// The walk over TIFF data that finds a photograph's shooting time: IFD0 and
// the Exif sub-directory it points at, or an Exif directory on its own as
// some containers keep it. Offsets count from the TIFF header (the base),
// which the container walks find; every read is checked against the file.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "input/exifread.h"

namespace geovanta {

// The tags the program uses: the shooting time, its fraction of a second and
// the time zone the camera recorded for it.
struct ShotTags {
    // Exif tag 0x9003 as the file holds it, trailing blanks and controls removed.
    std::string dateTimeOriginal;
    // Exif tag 0x9291: its first three digits as milliseconds ("25" is 250,
    // "123456" is 123); 0 without the tag or when it holds anything but digits.
    uint16_t subSecondMs = 0;
    // Minutes east of UTC from OffsetTimeOriginal (0x9011), else OffsetTime
    // (0x9010), written "+HH:MM" or "-HH:MM"; nothing without a readable one.
    std::optional<int> zoneMinutes;
};

// "+03:00" as 180, "-09:30" as -570; nothing for any other text or for a zone
// beyond 14 hours either side.
std::optional<int> parseZoneOffset(const std::string& text);

class TiffWalk {
public:
    enum class Start { Ifd0, ExifDirectory };

    TiffWalk(PositionedFile& file, uint64_t base) : file_(file), base_(base) {}

    // Whether the header and the first directory's entry count lie inside
    // the file; raw files of other layouts often fail this.
    bool firstDirectoryInFile();

    // Throws ExifError when the header, a directory, an entry or one of the
    // texts above runs past the end of the file: such a file was cut short.
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
        uint32_t exifDirectory = 0;
    };

    uint64_t firstDirectory();
    void walkDirectory(uint64_t pos, bool exif, Found& found);
    Entry readEntry(const unsigned char* bytes) const;
    std::string textAt(uint64_t offset, uint32_t count);
    std::string shortText(const Entry& e);
    uint16_t subSecondMs(const Entry& e);

    uint16_t get16(const unsigned char* p) const { return motorola_ ? be16(p) : le16(p); }
    uint32_t get32(const unsigned char* p) const { return motorola_ ? be32(p) : le32(p); }

    PositionedFile& file_;
    uint64_t base_;
    bool motorola_ = false;
};

}  // namespace geovanta

#pragma once
// TExif: pulls a fixed set of EXIF tags out of one photograph into public
// fields with a few small positioned reads; a file is never read whole.
//
// Understands JPEG files with an "Exif" APP1 segment (TIFF data in either
// byte order) and raw camera files laid out as TIFF ("MM" or "II" at offset 0).
// Text fields hold the file's bytes as read, without code-page conversion.

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "input/positionedfile.h"

namespace geovanta {

// A read error that ends ReadExif: "Read beyond end of file" for a damaged
// or truncated file, or a file-layer message ("I/O error 5").
class ExifError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kReadBeyondEndOfFile = "Read beyond end of file";

// Looked up by code 1 to 8; the ninth entry stands for every other code.
extern const std::array<const char*, 9> OrientationNames;
// Codes 0 to 8.
extern const std::array<const char*, 9> ExposureProgramNames;
// Codes 0 to 6; the eighth entry stands for code 255.
extern const std::array<const char*, 8> MeteringModeNames;

const char* lightSourceName(uint32_t value);
const char* flashName(uint32_t value);
const char* meteringModeName(uint32_t value);

// The four bytes of `value` in reverse order.
uint32_t SwapLong(uint32_t value);
// Message of the file layer for a system error code.
std::string fileLayerMessage(int code);

class TExif {
public:
    std::string ImageDescription;
    std::string Make;
    std::string Model;
    uint8_t Orientation = 0;
    std::string OrientationText;
    std::string RightsNotice;
    bool ExifFound = false;
    std::string DateTime;
    std::string DateTimeOriginal;
    std::string DateTimeDigitized;
    std::string UserComment;
    std::string ExposureTime;
    std::string FNumber;
    std::string ShutterSpeed;
    std::string ApertureValue;
    std::string MaxApertureValue;
    uint8_t ExposureProgram = 0;
    std::string ExposureProgramText;
    uint32_t PixelXDimension = 0;
    uint32_t PixelYDimension = 0;
    uint32_t XResolution = 0;
    uint32_t YResolution = 0;
    uint8_t MeteringMode = 0;
    std::string MeteringModeText;
    uint8_t LightSource = 0;
    std::string LightSourceText;
    uint8_t Flash = 0;
    std::string FlashText;
    uint16_t ISOSpeedRatings = 0;
    std::string Software;
    std::string Artist;
    std::string CompressedBitsPerPixel;
    // Exif tag 0x9291, the fraction of a second of DateTimeOriginal: its
    // first three digits as milliseconds ("25" is 250, "5" is 500, "123456"
    // is 123); 0 without the tag or when it holds anything but digits.
    uint16_t SubSecTimeOriginalMs = 0;

    TExif() = default;

    // Reads one file. Every call starts from reset fields; a name that is not
    // a readable regular file leaves them so. Throws ExifError when the
    // structure of a JPEG's EXIF data runs past the end of the file or a
    // read fails.
    void ReadExif(const std::string& FileName);
    void ClearFields();

    // Bytes read from files by this reader since it was made.
    uint64_t bytesRead() const { return SourceFile.bytesRead(); }

    // Longest text value read; longer values are cut to this.
    static constexpr uint32_t kMaxTextLength = 65535;
    // Positions at or beyond 2 GiB cannot be reached by the reader's file moves.
    static constexpr uint64_t kPositionLimit = uint64_t{1} << 31;

private:
    struct Entry {
        uint16_t tag = 0;
        uint16_t type = 0;
        uint32_t count = 0;
        uint32_t value = 0;
        std::array<unsigned char, 4> field{};  // the value field as the file holds it
    };
    enum class Directory { Ifd0, Exif };

    void readJpeg();
    void readRaw(bool motorola);
    bool isExifApp1At(uint64_t pos, unsigned char* marker = nullptr);
    uint64_t findExifApp1();
    void walkTiff(uint64_t base);
    // The last entry of each text field met in a directory.
    using DeferredTexts = std::vector<std::pair<std::string*, Entry>>;
    void readDirectory(uint64_t pos, Directory dir);
    void walkEntries(uint64_t pos, Directory dir, DeferredTexts& texts);
    std::string* textField(Directory dir, uint16_t tag);
    static void deferText(DeferredTexts& texts, std::string* field, const Entry& e);
    void readDeferred(const DeferredTexts& texts);
    void handleIfd0Entry(const Entry& e);
    void handleExifEntry(const Entry& e);
    void readSubSecond();
    Entry ReadEntry(const unsigned char* bytes) const;

    void readExact(uint64_t pos, void* buffer, std::size_t count);
    std::string ReadTextAt(uint64_t Offset, uint32_t Count);
    uint32_t ReadLongAt(uint64_t Offset);
    std::string RationalText(uint64_t Offset, bool Decimal);
    float RationalValue(uint64_t Offset);
    std::string shutterText(uint64_t Offset);
    bool readRational(uint64_t Offset, uint32_t& num, uint32_t& den);

    uint16_t get16(const unsigned char* p) const;
    uint32_t get32(const unsigned char* p) const;

    PositionedFile SourceFile;
    uint32_t ExifIFDOffset = 0;
    bool MotorolaOrder = false;
    uint64_t tiffBase_ = 0;
    std::optional<Entry> subSecond_;  // the last tag 0x9291 of the Exif sub-directory
};

}  // namespace geovanta

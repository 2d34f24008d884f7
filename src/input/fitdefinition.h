#pragma once
// What a FIT message definition tells about the few fields this program
// reads: where each lies in the data messages it defines and in which byte
// order. A data message is then read at fixed offsets, with no look at the
// fields it skips.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace geovanta::fit {

// Global message numbers.
inline constexpr uint16_t kFileId = 0;
inline constexpr uint16_t kRecord = 20;
inline constexpr uint16_t kLocation = 29;
inline constexpr uint16_t kTimestampCorrelation = 162;

// The fields read, by what they mean; which field number each is depends on
// the message.
enum Slot : uint8_t {
    Timestamp,
    Latitude,
    Longitude,
    Altitude,
    EnhancedAltitude,
    Name,
    FileType,
    SystemTimestamp,
    FractionalTimestamp,
    FractionalSystemTimestamp,
    TimestampMs,
    SystemTimestampMs,
    kSlots
};

// Values that mean "not given".
inline constexpr uint16_t kInvalidU16 = 0xFFFF;
inline constexpr uint32_t kInvalidU32 = 0xFFFFFFFF;
inline constexpr int32_t kInvalidS32 = 0x7FFFFFFF;

struct Definition {
    bool defined = false;
    bool bigEndian = false;
    uint16_t global = 0;
    uint32_t size = 0;  // bytes of one data message, developer fields included
    // Offsets into the data message; a width of 0 marks a field the message
    // lacks or gives narrower than its type, which is no value.
    std::array<uint16_t, kSlots> offset{};
    std::array<uint8_t, kSlots> width{};

    bool has(Slot slot) const { return width[slot] != 0; }
    uint8_t u8(const char* data, Slot slot) const { return static_cast<uint8_t>(data[offset[slot]]); }
    uint16_t u16(const char* data, Slot slot) const {
        uint16_t v;
        std::memcpy(&v, data + offset[slot], sizeof v);
        return bigEndian ? static_cast<uint16_t>(v >> 8 | v << 8) : v;
    }
    uint32_t u32(const char* data, Slot slot) const {
        uint32_t v;
        std::memcpy(&v, data + offset[slot], sizeof v);
        return bigEndian ? (v >> 24 | (v >> 8 & 0xFF00) | (v << 8 & 0xFF0000) | v << 24) : v;
    }
    int32_t s32(const char* data, Slot slot) const { return static_cast<int32_t>(u32(data, slot)); }
};

enum class DefinitionRead { Read, CutShort, BadByteOrder };

// Reads the definition message whose content (after its one-byte header)
// begins `bytes`; `developerFields` is the header's flag for the developer
// field list that follows the fields. Sets `length` to the content's bytes.
// The byte order byte is 0 or 1; anything else is damage, and `badOrder`
// holds it.
DefinitionRead readDefinition(std::string_view bytes, bool developerFields, Definition& definition,
                              std::size_t& length, uint8_t& badOrder);

}  // namespace geovanta::fit

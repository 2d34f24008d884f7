#include "input/fitdefinition.h"

namespace geovanta::fit {
namespace {

constexpr uint16_t kTimestampField = 253;  // the same number in every message
constexpr std::size_t kFixedBytes = 5;     // reserved, byte order, global number, field count
constexpr std::size_t kFieldBytes = 3;     // number, size, base type

// The slot a field fills in a message of `global`, or kSlots for a field not
// read.
Slot slotOf(uint16_t global, uint8_t field) {
    if (field == kTimestampField) return Timestamp;
    switch (global) {
        case kFileId: return field == 0 ? FileType : kSlots;
        case kRecord:
            switch (field) {
                case 0: return Latitude;
                case 1: return Longitude;
                case 2: return Altitude;
                case 78: return EnhancedAltitude;
                default: return kSlots;
            }
        case kLocation:
            switch (field) {
                case 0: return Name;
                case 1: return Latitude;
                case 2: return Longitude;
                case 4: return Altitude;
                default: return kSlots;
            }
        case kTimestampCorrelation:
            switch (field) {
                case 0: return FractionalTimestamp;
                case 1: return SystemTimestamp;
                case 2: return FractionalSystemTimestamp;
                case 4: return TimestampMs;
                case 5: return SystemTimestampMs;
                default: return kSlots;
            }
        default: return kSlots;
    }
}

// Bytes of one value of the slot's type; a name takes its field whole.
uint8_t widthOf(Slot slot, uint8_t size) {
    switch (slot) {
        case Name: return size;
        case FileType: return 1;
        case Altitude:
        case FractionalTimestamp:
        case FractionalSystemTimestamp:
        case TimestampMs:
        case SystemTimestampMs: return 2;
        default: return 4;
    }
}

}  // namespace

DefinitionRead readDefinition(std::string_view bytes, bool developerFields, Definition& definition,
                              std::size_t& length, uint8_t& badOrder) {
    if (bytes.size() < kFixedBytes) return DefinitionRead::CutShort;
    const auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
    if (b[1] > 1) {
        badOrder = b[1];
        return DefinitionRead::BadByteOrder;
    }
    Definition d;
    d.bigEndian = b[1] == 1;
    d.global = d.bigEndian ? static_cast<uint16_t>(b[2] << 8 | b[3]) : static_cast<uint16_t>(b[3] << 8 | b[2]);
    const std::size_t fields = b[4];
    std::size_t at = kFixedBytes;
    if (bytes.size() - at < fields * kFieldBytes) return DefinitionRead::CutShort;
    for (std::size_t n = 0; n < fields; ++n, at += kFieldBytes) {
        const uint8_t size = b[at + 1];
        const Slot slot = slotOf(d.global, b[at]);
        // A field narrower than its type holds no value of it; a wider one
        // is an array, or padding a producer added, whose first value counts.
        if (slot != kSlots && !d.has(slot) && size >= widthOf(slot, size) && size > 0) {
            d.offset[slot] = static_cast<uint16_t>(d.size);
            d.width[slot] = widthOf(slot, size);
        }
        d.size += size;
    }
    if (developerFields) {
        if (bytes.size() - at < 1) return DefinitionRead::CutShort;
        const std::size_t extra = b[at++];
        if (bytes.size() - at < extra * kFieldBytes) return DefinitionRead::CutShort;
        for (std::size_t n = 0; n < extra; ++n, at += kFieldBytes) d.size += b[at + 1];
    }
    d.defined = true;
    definition = d;
    length = at;
    return DefinitionRead::Read;
}

}  // namespace geovanta::fit

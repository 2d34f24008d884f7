#pragma once
// FIT files made by the tests: definitions and data messages in either byte
// order, then the header and checksums around them.

#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "input/fitreader.h"

namespace geovanta::test {

inline constexpr uint8_t kUint8 = 0x02, kUint16 = 0x84, kSint32 = 0x85, kUint32 = 0x86, kString = 0x07;

inline uint32_t fitSeconds(int64_t unixSeconds) { return static_cast<uint32_t>(unixSeconds - 631065600); }
inline uint32_t semicircles(double degrees) {
    return static_cast<uint32_t>(static_cast<int32_t>(std::llround(degrees * 2147483648.0 / 180.0)));
}
// Metres as the altitude fields hold them: scaled by 5 from 500 m below sea level.
inline uint32_t fitAltitude(double metres) { return static_cast<uint32_t>(std::lround((metres + 500) * 5)); }

class FitBuilder {
public:
    struct Field {
        uint8_t number, size, baseType;
    };
    // A number written in its field's width, or text padded with NULs.
    struct Value {
        Value(uint64_t n) : number(n) {}
        Value(const char* s) : text(s) {}
        uint64_t number = 0;
        std::string text;
    };

    // `developerBytes`: one developer field of that size, when not 0.
    FitBuilder& define(uint8_t local, uint16_t global, std::vector<Field> fields, bool bigEndian = false,
                       uint8_t developerBytes = 0) {
        data_ += static_cast<char>(0x40 | (developerBytes ? 0x20 : 0) | local);
        data_ += {'\0', static_cast<char>(bigEndian)};
        put(global, 2, bigEndian);
        data_ += static_cast<char>(fields.size());
        for (const Field& f : fields)
            data_ += {static_cast<char>(f.number), static_cast<char>(f.size), static_cast<char>(f.baseType)};
        if (developerBytes) data_ += {'\1', '\0', static_cast<char>(developerBytes), '\0'};
        locals_[local] = {fields, bigEndian, developerBytes};
        return *this;
    }

    // A data message; with `seconds`, a compressed-timestamp header holding
    // the five low bits of its time.
    FitBuilder& message(uint8_t local, const std::vector<Value>& values, int seconds = -1) {
        data_ += static_cast<char>(seconds < 0 ? local : 0x80 | local << 5 | (seconds & 0x1F));
        const Local& l = locals_.at(local);
        for (std::size_t n = 0; n < l.fields.size(); ++n) {
            if (l.fields[n].baseType == kString)
                data_ += (values.at(n).text + std::string(l.fields[n].size, '\0')).substr(0, l.fields[n].size);
            else
                put(values.at(n).number, l.fields[n].size, l.bigEndian);
        }
        data_.append(l.developerBytes, '\x5A');
        return *this;
    }

    FitBuilder& raw(const std::string& bytes) {
        data_ += bytes;
        return *this;
    }
    std::size_t size() const { return data_.size(); }

    // A 14-byte header with its checksum, the messages, the file's checksum.
    std::string file() const {
        std::string out = "\x0E\x20\x08\x08";
        for (int i = 0; i < 4; ++i) out += static_cast<char>(data_.size() >> (8 * i));
        out += ".FIT";
        appendCrc(out);
        out += data_;
        appendCrc(out);
        return out;
    }

    static void appendCrc(std::string& bytes) {
        const uint16_t crc = fitCrc(bytes);
        bytes += {static_cast<char>(crc), static_cast<char>(crc >> 8)};
    }

private:
    struct Local {
        std::vector<Field> fields;
        bool bigEndian = false;
        uint8_t developerBytes = 0;
    };

    void put(uint64_t value, std::size_t size, bool bigEndian) {
        for (std::size_t i = 0; i < size; ++i) {
            const std::size_t shift = 8 * (bigEndian ? size - 1 - i : i);
            data_ += static_cast<char>(shift < 64 ? value >> shift : 0);
        }
    }

    std::string data_;
    std::map<uint8_t, Local> locals_;
};

}  // namespace geovanta::test

#pragma once
// Builds JPEG and TIFF files byte by byte, so each test states exactly the
// layout it checks, and writes them into a temporary folder.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/tempdir.h"

namespace geovanta::test {

using Bytes = std::vector<uint8_t>;

// TIFF data: header, IFD0, the Exif and GPS sub-directories and a value area.
class TiffBuilder {
public:
    enum Dir { Ifd0, Exif, Gps };

    explicit TiffBuilder(bool motorola) : mm_(motorola) {}

    // A value stored out of line; the entry's value field holds its offset.
    TiffBuilder& data(Dir d, uint16_t tag, uint16_t type, uint32_t count, Bytes bytes) {
        dir(d).push_back({tag, type, count, 0, std::move(bytes), false, {}});
        return *this;
    }
    TiffBuilder& ascii(Dir d, uint16_t tag, const std::string& text, std::optional<uint32_t> count = {}) {
        Bytes b(text.begin(), text.end());
        b.push_back(0);
        const uint32_t n = count ? *count : static_cast<uint32_t>(b.size());
        return data(d, tag, 2, n, std::move(b));
    }
    TiffBuilder& rational(Dir d, uint16_t tag, uint32_t num, uint32_t den, uint16_t type = 5) {
        Bytes b = u32(num);
        const Bytes dn = u32(den);
        b.insert(b.end(), dn.begin(), dn.end());
        return data(d, tag, type, 1, std::move(b));
    }
    // Several rationals in one entry, as numerator and denominator pairs.
    TiffBuilder& rationals(Dir d, uint16_t tag, const std::vector<std::pair<uint32_t, uint32_t>>& values,
                           uint16_t type = 5) {
        Bytes b;
        for (const auto& [num, den] : values)
            for (uint32_t v : {num, den}) {
                const Bytes part = u32(v);
                b.insert(b.end(), part.begin(), part.end());
            }
        return data(d, tag, type, static_cast<uint32_t>(values.size()), std::move(b));
    }
    // SHORT: the value sits in the field's first two bytes, in file order.
    TiffBuilder& shortValue(Dir d, uint16_t tag, uint16_t v) {
        Bytes field = u16(v);
        field.push_back(0);
        field.push_back(0);
        return inlineField(d, tag, 3, 1, field);
    }
    TiffBuilder& longValue(Dir d, uint16_t tag, uint32_t v) { return inlineField(d, tag, 4, 1, u32(v)); }
    TiffBuilder& inlineField(Dir d, uint16_t tag, uint16_t type, uint32_t count, Bytes field) {
        dir(d).push_back({tag, type, count, 0, {}, true, std::move(field)});
        return *this;
    }
    // Entries whose value field points at a fixed offset from the TIFF base.
    TiffBuilder& pointing(Dir d, uint16_t tag, uint16_t type, uint32_t count, uint32_t offset) {
        return inlineField(d, tag, type, count, u32(offset));
    }

    TiffBuilder& ifd0Offset(uint32_t offset) {
        ifd0Offset_ = offset;
        return *this;
    }
    TiffBuilder& ifd0Count(uint16_t count) {
        ifd0Count_ = count;
        return *this;
    }
    // Text appended after the value area, at a known offset from the base.
    TiffBuilder& tail(Bytes bytes) {
        tail_ = std::move(bytes);
        return *this;
    }

    Bytes build() const {
        std::vector<Entry> ifd0 = ifd0_;
        if (!exif_.empty()) ifd0.push_back({0x8769, 4, 1, 0, {}, true, {}});
        if (!gps_.empty()) ifd0.push_back({0x8825, 4, 1, 0, {}, true, {}});
        const std::size_t ifd0Size = 2 + ifd0.size() * 12 + 4;
        const std::size_t exifStart = ifd0Offset_ + ifd0Size;
        const std::size_t exifSize = exif_.empty() ? 0 : 2 + exif_.size() * 12 + 4;
        const std::size_t gpsStart = exifStart + exifSize;
        const std::size_t gpsSize = gps_.empty() ? 0 : 2 + gps_.size() * 12 + 4;
        std::size_t dataPos = gpsStart + gpsSize;

        Bytes out(ifd0Offset_, 0);
        out[0] = out[1] = mm_ ? 'M' : 'I';
        put(out, 2, u16(42));
        put(out, 4, u32(ifd0Offset_));
        Bytes area;
        auto emit = [&](const std::vector<Entry>& entries, std::optional<uint16_t> count) {
            append(out, u16(count ? *count : static_cast<uint16_t>(entries.size())));
            for (const Entry& e : entries) {
                append(out, u16(e.tag));
                append(out, u16(e.type));
                append(out, u32(e.count));
                if (e.tag == 0x8769 && e.isInline && e.field.empty()) {
                    append(out, u32(static_cast<uint32_t>(exifStart)));
                } else if (e.tag == 0x8825 && e.isInline && e.field.empty()) {
                    append(out, u32(static_cast<uint32_t>(gpsStart)));
                } else if (e.isInline) {
                    append(out, e.field);
                } else {
                    append(out, u32(static_cast<uint32_t>(dataPos + area.size())));
                    append(area, e.bytes);
                    if (area.size() % 2) area.push_back(0);
                }
            }
            append(out, u32(0));
        };
        emit(ifd0, ifd0Count_);
        if (!exif_.empty()) emit(exif_, std::nullopt);
        if (!gps_.empty()) emit(gps_, std::nullopt);
        append(out, area);
        append(out, tail_);
        return out;
    }

    // Offset from the base where tail() bytes begin.
    std::size_t tailOffset() const { return build().size() - tail_.size(); }

    Bytes u16(uint16_t v) const {
        return mm_ ? Bytes{uint8_t(v >> 8), uint8_t(v)} : Bytes{uint8_t(v), uint8_t(v >> 8)};
    }
    Bytes u32(uint32_t v) const {
        return mm_ ? Bytes{uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}
                   : Bytes{uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    }

private:
    struct Entry {
        uint16_t tag, type;
        uint32_t count;
        uint32_t unused;
        Bytes bytes;
        bool isInline = false;
        Bytes field;
    };
    std::vector<Entry>& dir(Dir d) { return d == Ifd0 ? ifd0_ : d == Exif ? exif_ : gps_; }
    static void append(Bytes& to, const Bytes& b) { to.insert(to.end(), b.begin(), b.end()); }
    static void put(Bytes& to, std::size_t at, const Bytes& b) { std::copy(b.begin(), b.end(), to.begin() + at); }

    bool mm_;
    uint32_t ifd0Offset_ = 8;
    std::optional<uint16_t> ifd0Count_;
    std::vector<Entry> ifd0_, exif_, gps_;
    Bytes tail_;
};

// A JPEG made of segments; image data after the start of scan is a stub.
class JpegBuilder {
public:
    JpegBuilder() {
        bytes_.push_back(0xFF);
        bytes_.push_back(0xD8);
    }
    JpegBuilder& segment(uint8_t marker, const Bytes& payload) {
        const std::size_t len = payload.size() + 2;
        bytes_.insert(bytes_.end(), {0xFF, marker, uint8_t(len >> 8), uint8_t(len)});
        bytes_.insert(bytes_.end(), payload.begin(), payload.end());
        return *this;
    }
    JpegBuilder& app0(std::size_t payloadSize = 14) {  // 14 bytes make the usual length of 16
        Bytes p{'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
        p.resize(payloadSize, 0);
        return segment(0xE0, p);
    }
    JpegBuilder& exif(const Bytes& tiff) {
        Bytes p{'E', 'x', 'i', 'f', 0, 0};
        p.insert(p.end(), tiff.begin(), tiff.end());
        return segment(0xE1, p);
    }
    JpegBuilder& xmp(std::size_t size) {
        std::string id = "http://ns.adobe.com/xap/1.0/";
        Bytes p(id.begin(), id.end());
        p.push_back(0);
        p.resize(size, ' ');
        return segment(0xE1, p);
    }
    JpegBuilder& comment(const std::string& text) { return segment(0xFE, Bytes(text.begin(), text.end())); }
    JpegBuilder& startOfScan() {
        segment(0xDA, Bytes{1, 1, 0, 0, 0x3F, 0});
        bytes_.insert(bytes_.end(), {0x12, 0x34, 0x56, 0xFF, 0xD9});
        return *this;
    }
    JpegBuilder& raw(const Bytes& b) {
        bytes_.insert(bytes_.end(), b.begin(), b.end());
        return *this;
    }
    Bytes build() const { return bytes_; }
    std::size_t size() const { return bytes_.size(); }

private:
    Bytes bytes_;
};

// A fresh folder under the system's temporary folder, removed at the end.

inline Bytes textBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

}  // namespace geovanta::test

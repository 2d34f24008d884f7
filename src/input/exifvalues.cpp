// TExif's readers of single values at an offset of the file: texts,
// longs, rationals and the shutter speed.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "input/exif.h"
#include "table/numbertext.h"

namespace geovanta {
namespace {

std::string trimTrailingControls(std::string text) {
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.pop_back();
    return text;
}

}  // namespace

// Unlike the other texts, which the reader always takes from the offset in
// the value field, the fraction of a second is read as TIFF stores it: a
// value of up to four bytes sits in the field itself, and cameras write two
// or three digits.
void TExif::readSubSecond() {
    if (!subSecond_) return;
    const Entry& e = *subSecond_;
    const bool oneByteType = e.type == 1 || e.type == 2 || e.type == 7;  // BYTE, ASCII, UNDEFINED
    if (!oneByteType || e.count == 0) return;
    std::string text;
    if (e.count <= 4) {
        text.assign(reinterpret_cast<const char*>(e.field.data()), e.count);
        text = trimTrailingControls(text.substr(0, text.find('\0')));
    } else {
        text = ReadTextAt(tiffBase_ + e.value, e.count);
    }
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return;
    text.resize(3, '0');
    SubSecTimeOriginalMs = static_cast<uint16_t>(std::stoi(text));
}

void TExif::readExact(uint64_t pos, void* buffer, std::size_t count) {
    if (pos > SourceFile.size() || count > SourceFile.size() - pos) throw ExifError(kReadBeyondEndOfFile);
    const long long got = SourceFile.readAt(pos, buffer, count);
    if (got < 0) throw ExifError(fileLayerMessage(SourceFile.lastError()));
    if (static_cast<std::size_t>(got) < count) throw ExifError(kReadBeyondEndOfFile);
}

// Value readers trap every failure: an unreadable value empties its own field
// and the walk goes on with the next entry.
std::string TExif::ReadTextAt(uint64_t Offset, uint32_t Count) {
    if (Count == 0 || Offset >= kPositionLimit) return "";
    // The last byte of a text value is its terminating zero and is not read.
    uint32_t want = Count >= 2 ? Count - 1 : 1;
    if (want > kMaxTextLength) want = kMaxTextLength;
    std::string text;
    // Most texts are short, and a long value usually ends early at a zero
    // byte, so read in growing pieces.
    std::size_t piece = 64;
    while (text.size() < want) {
        const std::size_t n = std::min<std::size_t>(piece, want - text.size());
        const std::size_t had = text.size();
        text.resize(had + n);
        const long long got = SourceFile.readAt(Offset + had, text.data() + had, n);
        if (got < 0) return "";
        const void* zero = std::memchr(text.data() + had, 0, static_cast<std::size_t>(got));
        if (zero) {
            text.resize(static_cast<std::size_t>(static_cast<const char*>(zero) - text.data()));
            return trimTrailingControls(std::move(text));
        }
        if (static_cast<std::size_t>(got) < n) return "";  // the value runs past the end of the file
        piece = 4096;
    }
    return trimTrailingControls(std::move(text));
}

uint32_t TExif::ReadLongAt(uint64_t Offset) {
    unsigned char b[4];
    if (Offset >= kPositionLimit || SourceFile.readAt(Offset, b, 4) != 4) return 0;
    return get32(b);
}

bool TExif::readRational(uint64_t Offset, uint32_t& num, uint32_t& den) {
    unsigned char b[8];
    if (Offset >= kPositionLimit || SourceFile.readAt(Offset, b, 8) != 8) return false;
    num = get32(b);
    den = get32(b + 4);
    return true;
}

std::string TExif::RationalText(uint64_t Offset, bool Decimal) {
    uint32_t num = 0, den = 0;
    if (!readRational(Offset, num, den)) return "";
    if (!Decimal) {
        if (den == 1000000) return "0";
        return std::to_string(num) + "/" + std::to_string(den);
    }
    if (den == 0) return "";
    std::string text = formatFixed(static_cast<long double>(num) / den, 2);
    if (!text.empty() && text.back() == '0') text.pop_back();
    return text;
}

float TExif::RationalValue(uint64_t Offset) {
    uint32_t num = 0, den = 0;
    if (!readRational(Offset, num, den) || den == 0) return 0.0f;
    return static_cast<float>(static_cast<double>(num) / den);
}

// The APEX shutter value Tv stands for an exposure of 1/2^Tv seconds.
std::string TExif::shutterText(uint64_t Offset) {
    if (Offset >= kPositionLimit) return "";
    const float tv = RationalValue(Offset);
    if (tv >= 65535.0f) return "1 seconds";
    const long double n = std::floor(std::pow(2.0L, static_cast<long double>(tv)) + 0.5L);
    if (!std::isfinite(n)) return "";
    char digits[64];
    const int len = n < 1e18L ? std::snprintf(digits, sizeof digits, "%llu", static_cast<unsigned long long>(n))
                              : std::snprintf(digits, sizeof digits, "%.15Lg", n);
    if (len <= 0 || len >= static_cast<int>(sizeof digits)) return "";
    return "1/" + std::string(digits, static_cast<std::size_t>(len)) + " seconds";
}

uint16_t TExif::get16(const unsigned char* p) const {
    return MotorolaOrder ? static_cast<uint16_t>(p[0] << 8 | p[1]) : static_cast<uint16_t>(p[1] << 8 | p[0]);
}

uint32_t TExif::get32(const unsigned char* p) const {
    const uint32_t le = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
    return MotorolaOrder ? SwapLong(le) : le;
}

}  // namespace geovanta

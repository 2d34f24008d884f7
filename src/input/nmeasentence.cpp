#include "input/nmeasentence.h"

#include <array>
#include <charconv>
#include <cmath>

#include "input/fieldsplit.h"
#include "table/datetime.h"
#include "table/numbertext.h"

namespace geovanta {
namespace {

using Kind = NmeaSentence::Kind;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }

int hexValue(char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// "ccTTT," or "ccTTT" alone: a talker's two letters and the sentence type.
bool hasTalkerAddress(std::string_view body) {
    if (body.size() < 5 || (body.size() > 5 && body[5] != ',')) return false;
    for (std::size_t i = 0; i < 5; ++i)
        if (!isUpper(body[i])) return false;
    return true;
}

Kind kindOf(std::string_view body) {
    const std::string_view type = body.substr(2, 3);
    if (type == "RMC") return Kind::Rmc;
    if (type == "GGA") return Kind::Gga;
    if (type == "ZDA") return Kind::Zda;
    return Kind::Other;
}

// Fields a sentence needs, the address counted: with a right checksum only
// those read (a receiver may leave off the trailing ones); without one, every
// field of the standard's shortest form, so that a line cut short is not
// taken for a whole one.
std::size_t fieldsNeeded(Kind kind, bool checked) {
    switch (kind) {
        case Kind::Rmc: return checked ? 10 : 12;
        case Kind::Gga: return checked ? 7 : 15;
        case Kind::Zda: return checked ? 5 : 7;
        default: return 0;
    }
}

bool allDigits(std::string_view text) {
    for (const char c : text)
        if (!isDigit(c)) return false;
    return true;
}

int twoDigits(std::string_view text, std::size_t at) { return (text[at] - '0') * 10 + (text[at + 1] - '0'); }

// "hhmmss" with any fraction of a second; digits past the millisecond are
// noise of the receiver's clock and are dropped.
std::optional<int32_t> readTimeOfDay(std::string_view text) {
    if (text.size() < 6 || !allDigits(text.substr(0, 6))) return std::nullopt;
    const int hour = twoDigits(text, 0), minute = twoDigits(text, 2), second = twoDigits(text, 4);
    // 60: a leap second, which counts into the next minute.
    if (hour > 23 || minute > 59 || second > 60) return std::nullopt;
    int32_t ms = ((hour * 60 + minute) * 60 + second) * 1000;
    if (text.size() > 6) {
        if (text[6] != '.' || !allDigits(text.substr(7))) return std::nullopt;
        int scale = 100;
        for (std::size_t i = 7; i < text.size() && scale > 0; ++i, scale /= 10) ms += (text[i] - '0') * scale;
    }
    return ms;
}

// Days since 1899-12-30 of a date; two-digit years are those of GPS
// receivers, 1980 to 2079.
std::optional<int32_t> dayOf(int year, int month, int day) {
    if (!validDate(year, month, day)) return std::nullopt;
    const std::optional<int64_t> ms = civilToMs({year, month, day, 0, 0, 0, 0});
    if (!ms) return std::nullopt;
    return static_cast<int32_t>(*ms / kMsPerDay);
}

std::optional<int32_t> readDdmmyy(std::string_view text) {
    if (text.size() != 6 || !allDigits(text)) return std::nullopt;
    const int yy = twoDigits(text, 4);
    return dayOf(yy < 80 ? 2000 + yy : 1900 + yy, twoDigits(text, 2), twoDigits(text, 0));
}

// "dddmm.mmmm" and its hemisphere letter: degrees, south and west negative.
std::optional<double> readCoordinate(std::string_view text, std::string_view hemisphere, double limit) {
    if (hemisphere.size() != 1) return std::nullopt;
    const char h = hemisphere[0];
    const bool negative = h == 'S' || h == 'W';
    if (!negative && h != 'N' && h != 'E') return std::nullopt;
    const std::size_t dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    if (whole.size() < 3 || !allDigits(whole)) return std::nullopt;
    if (dot != std::string_view::npos && (dot + 1 == text.size() || !allDigits(text.substr(dot + 1))))
        return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    const double degrees = std::floor(value / 100);
    const double minutes = value - degrees * 100;
    if (minutes >= 60) return std::nullopt;
    const double result = degrees + minutes / 60;
    if (result > limit) return std::nullopt;
    return negative ? -result : result;
}

// Latitude and longitude from four fields; 0, 0 is what receivers write when
// they have no position, never a fix.
void readPosition(NmeaSentence& s, const std::string_view* f) {
    s.lat = readCoordinate(f[0], f[1], 90);
    s.lon = readCoordinate(f[2], f[3], 180);
    if (!s.lat || !s.lon || (*s.lat == 0 && *s.lon == 0)) s.lat = s.lon = std::nullopt;
}

// f[0] is the address, f[n] the sentence's field n.
void readFields(NmeaSentence& s, const std::string_view* f) {
    s.timeMs = readTimeOfDay(f[1]);
    switch (s.kind) {
        case Kind::Rmc:
            s.valid = f[2] == "A";
            readPosition(s, f + 3);
            s.day = readDdmmyy(f[9]);
            break;
        case Kind::Gga:
            s.valid = !f[6].empty() && f[6] != "0";
            readPosition(s, f + 2);
            if (f[10].empty() || f[10] == "M") s.altitudeM = parseNumber(f[9]);
            break;
        case Kind::Zda:
            if (f[2].size() == 2 && f[3].size() == 2 && f[4].size() == 4 && allDigits(f[2]) && allDigits(f[3]) &&
                allDigits(f[4]))
                s.day = dayOf((twoDigits(f[4], 0) * 100) + twoDigits(f[4], 2), twoDigits(f[3], 0), twoDigits(f[2], 0));
            break;
        default: break;
    }
}

}  // namespace

NmeaSentence parseNmeaSentence(std::string_view text) {
    NmeaSentence s;
    // '!' starts the encapsulated sentences of AIS and the like: never a fix.
    if (text.empty() || text[0] != '$') return s;
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    const std::size_t star = text.find('*');
    const std::string_view body = text.substr(1, star == std::string_view::npos ? std::string_view::npos : star - 1);
    if (!hasTalkerAddress(body)) return s;
    const Kind kind = kindOf(body);
    const bool checked = star != std::string_view::npos;
    if (checked) {
        const std::string_view sum = text.substr(star + 1);
        unsigned expected = 0;
        for (const char c : body) expected ^= static_cast<unsigned char>(c);
        const bool right = sum.size() == 2 && hexValue(sum[0]) >= 0 && hexValue(sum[1]) >= 0 &&
                           static_cast<unsigned>(hexValue(sum[0]) * 16 + hexValue(sum[1])) == expected;
        if (!right) {
            if (kind == Kind::Rmc || kind == Kind::Gga) s.kind = Kind::Damaged;
            return s;
        }
    }
    if (kind == Kind::Other) {
        s.whole = checked;
        return s;
    }
    if (countByte(body, ',') + 1 < fieldsNeeded(kind, checked)) {
        // Cut short: the checksum went with the rest of the line.
        if (!checked && kind != Kind::Zda) s.kind = Kind::Damaged;
        return s;
    }
    constexpr std::size_t kFieldsRead = 11;
    std::array<std::string_view, kFieldsRead> fields;
    splitFields(body, ',', fields);
    s.kind = kind;
    s.whole = true;
    readFields(s, fields.data());
    return s;
}

}  // namespace geovanta

// The position a GPS receiver wrote into a photograph: the GPS directory's
// latitude, longitude, altitude and UTC time. Values without sense (zero
// denominators, a latitude past the pole, a hemisphere letter that is none)
// count as missing, and so does the position 0, 0 that receivers write
// before they have a fix.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "input/tiffwalk.h"
#include "table/asciicase.h"
#include "table/datetime.h"

namespace geovanta {
namespace {

constexpr uint16_t kLatitudeRef = 0x0001;
constexpr uint16_t kLatitude = 0x0002;
constexpr uint16_t kLongitudeRef = 0x0003;
constexpr uint16_t kLongitude = 0x0004;
constexpr uint16_t kAltitudeRef = 0x0005;
constexpr uint16_t kAltitude = 0x0006;
constexpr uint16_t kTimeStamp = 0x0007;
constexpr uint16_t kDateStamp = 0x001D;
constexpr uint16_t kLastUsedTag = kDateStamp;

// A GPS directory has some thirty tags at most.
constexpr uint32_t kMaxGpsEntries = 64;
// Metres either side of sea level: past the highest balloon and the deepest dive.
constexpr double kAltitudeLimit = 100000;

constexpr uint16_t kRationalType = 5;
constexpr uint16_t kSignedRationalType = 10;

using Numbers = std::optional<std::vector<double>>;

// Degrees, minutes and seconds (the later ones may be left out) as degrees.
std::optional<double> degrees(const std::vector<double>& parts, double limit) {
    double value = 0, unit = 1;
    for (double part : parts) {
        if (part < 0) return std::nullopt;
        value += part / unit;
        unit *= 60;
    }
    if (!std::isfinite(value) || value > limit) return std::nullopt;
    return value;
}

std::optional<int> digits(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty() || text[0] == '-') return std::nullopt;
    return value;
}

// "YYYY:MM:DD" (some write "-") as milliseconds of its midnight.
std::optional<int64_t> dateMs(const std::string& text) {
    if (text.size() != 10 || text[4] != text[7] || (text[4] != ':' && text[4] != '-')) return std::nullopt;
    const std::string_view t(text);
    const auto year = digits(t.substr(0, 4)), month = digits(t.substr(5, 2)), day = digits(t.substr(8, 2));
    if (!year || !month || !day || !validDate(*year, *month, *day)) return std::nullopt;
    return civilToMs({*year, *month, *day, 0, 0, 0, 0});
}

// Hours, minutes and seconds (with their fraction) as milliseconds.
std::optional<int64_t> timeOfDayMs(const std::vector<double>& hms) {
    if (hms.size() != 3) return std::nullopt;
    const double h = hms[0], m = hms[1], s = hms[2];
    if (!(h >= 0 && h < 24 && m >= 0 && m < 60 && s >= 0 && s < 61)) return std::nullopt;  // 60: a leap second
    return std::llround((h * 3600 + m * 60 + s) * 1000);
}

}  // namespace

std::optional<std::vector<double>> TiffWalk::rationals(const Entry& e, uint32_t count) {
    if ((e.type != kRationalType && e.type != kSignedRationalType) || e.count == 0) return std::nullopt;
    unsigned char bytes[8 * 3];
    const uint32_t n = std::min({e.count, count, uint32_t{3}});
    try {
        if (readUpTo(file_, base_ + e.value, bytes, 8 * n) < 8 * n) return std::nullopt;
    } catch (const ExifError&) {
        return std::nullopt;
    }
    std::vector<double> values;
    for (uint32_t k = 0; k < n; ++k) {
        const uint32_t num = get32(bytes + 8 * k), den = get32(bytes + 8 * k + 4);
        if (den == 0) return std::nullopt;
        const double v = e.type == kSignedRationalType
                             ? double(static_cast<int32_t>(num)) / double(static_cast<int32_t>(den))
                             : double(num) / double(den);
        if (!std::isfinite(v)) return std::nullopt;
        values.push_back(v);
    }
    return values;
}

std::optional<PhotoGps> TiffWalk::gps(uint64_t directory) {
    std::optional<Entry> tags[kLastUsedTag + 1];
    try {
        for (const Entry& e : entriesAt(directory, kMaxGpsEntries))
            if (e.tag <= kLastUsedTag) tags[e.tag] = e;
    } catch (const ExifError&) {
        return std::nullopt;
    }
    // The hemisphere's letter: a reference of "N" or "S" counts, "X" or none does not.
    auto coordinate = [&](uint16_t refTag, uint16_t tag, char positive, char negative,
                          double limit) -> std::optional<double> {
        if (!tags[refTag] || !tags[tag]) return std::nullopt;
        std::string ref;
        try {
            ref = shortText(*tags[refTag], 2);
        } catch (const ExifError&) {
            return std::nullopt;
        }
        const char letter = ref.size() == 1 ? asciiUpper(ref[0]) : 0;
        if (letter != positive && letter != negative) return std::nullopt;
        const Numbers parts = rationals(*tags[tag], 3);
        const std::optional<double> value = parts ? degrees(*parts, limit) : std::nullopt;
        if (!value) return std::nullopt;
        return letter == negative ? -*value : *value;
    };
    const auto lat = coordinate(kLatitudeRef, kLatitude, 'N', 'S', 90);
    const auto lon = coordinate(kLongitudeRef, kLongitude, 'E', 'W', 180);
    if (!lat || !lon || (*lat == 0 && *lon == 0)) return std::nullopt;
    PhotoGps gps;
    gps.lat = *lat;
    gps.lon = *lon;

    // Above sea level without a reference; 1 below it; anything else unknown.
    if (const Numbers alt = tags[kAltitude] ? rationals(*tags[kAltitude], 1) : std::nullopt) {
        const std::optional<Entry>& ref = tags[kAltitudeRef];
        unsigned below = 0;
        if (ref && ref->count >= 1) below = ref->type == 3 ? get16(ref->field.data()) : ref->field[0];
        if (below <= 1 && std::fabs((*alt)[0]) <= kAltitudeLimit)
            gps.altitudeMetres = below ? -(*alt)[0] : (*alt)[0];
    }

    if (tags[kDateStamp] && tags[kTimeStamp]) {
        std::string date;
        try {
            date = shortText(*tags[kDateStamp], 16);
        } catch (const ExifError&) {
        }
        const std::optional<int64_t> day = dateMs(date);
        const Numbers hms = rationals(*tags[kTimeStamp], 3);
        const std::optional<int64_t> time = hms ? timeOfDayMs(*hms) : std::nullopt;
        if (day && time) gps.utcMs = *day + *time;
    }
    return gps;
}

}  // namespace geovanta

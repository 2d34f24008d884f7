#include "input/igcreader.h"

#include <charconv>
#include <optional>

#include "input/pointfields.h"
#include "input/trackreader.h"
#include "input/wholefile.h"
#include "table/datatable.h"
#include "table/datetime.h"
#include "table/displaysuspension.h"
#include "table/messages.h"
#include "table/textcodec.h"
#include "table/textlines.h"

namespace geovanta {
namespace {

constexpr std::size_t kTypicalLineBytes = 40;
// A B record up to its validity letter; the pressure and GNSS altitudes
// follow in five characters each.
constexpr std::size_t kFixBytes = 25;
constexpr std::size_t kPressureAt = 25, kGnssAt = 30, kAltitudeBytes = 5;
// A time that falls back by more than half a day has passed midnight; a
// smaller step back is the logger's hiccup, not a new day.
constexpr int32_t kMidnightStepMs = kMsPerDay / 2;

bool allDigits(std::string_view text) {
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

int number(std::string_view digits) {
    int n = 0;
    for (const char c : digits) n = n * 10 + (c - '0');
    return n;
}

// "HFDTE060917", "HFDTEDATE:040920,01": the flight's UTC date as days.
std::optional<int32_t> readDateHeader(std::string_view line) {
    std::string_view rest = line.substr(5);
    if (const std::size_t colon = rest.find(':'); colon != std::string_view::npos) rest.remove_prefix(colon + 1);
    if (rest.size() < 6 || !allDigits(rest.substr(0, 6))) return std::nullopt;
    const int day = number(rest.substr(0, 2)), month = number(rest.substr(2, 2)), yy = number(rest.substr(4, 2));
    // The format dates from 1990s gliding; later two-digit years are this century's.
    const int year = yy < 80 ? 2000 + yy : 1900 + yy;
    if (!validDate(year, month, day)) return std::nullopt;
    const std::optional<int64_t> ms = civilToMs({year, month, day, 0, 0, 0, 0});
    if (!ms) return std::nullopt;
    return static_cast<int32_t>(*ms / kMsPerDay);
}

// "DDMMmmmN" or "DDDMMmmmE": degrees and thousandths of minutes.
std::optional<double> readCoordinate(std::string_view text, std::size_t degreeDigits, double limit) {
    const std::string_view digits = text.substr(0, text.size() - 1);
    if (!allDigits(digits)) return std::nullopt;
    const int degrees = number(digits.substr(0, degreeDigits));
    const int thousandths = number(digits.substr(degreeDigits));
    if (thousandths >= 60000) return std::nullopt;
    const double value = degrees + thousandths / 60000.0;
    if (value > limit) return std::nullopt;
    const char h = text.back();
    if (h == 'S' || h == 'W') return -value;
    if (h == 'N' || h == 'E') return value;
    return std::nullopt;
}

// Five characters of metres, a minus sign first for below sea level.
std::optional<int> readAltitude(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

struct BRecord {
    int32_t timeMs = 0;
    bool valid = false;
    double lat = 0, lon = 0;
    std::optional<int> pressureM, gnssM;
};

std::optional<BRecord> readBRecord(std::string_view line) {
    if (line.size() < kFixBytes || !allDigits(line.substr(1, 6))) return std::nullopt;
    BRecord b;
    const int hour = number(line.substr(1, 2)), minute = number(line.substr(3, 2)), second = number(line.substr(5, 2));
    if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
    b.timeMs = ((hour * 60 + minute) * 60 + second) * 1000;
    const std::optional<double> lat = readCoordinate(line.substr(7, 8), 2, 90);
    const std::optional<double> lon = readCoordinate(line.substr(15, 9), 3, 180);
    if (!lat || !lon) return std::nullopt;
    b.lat = *lat;
    b.lon = *lon;
    const char validity = line[24];
    if (validity != 'A' && validity != 'V') return std::nullopt;
    b.valid = validity == 'A';
    if (line.size() >= kPressureAt + kAltitudeBytes) {
        b.pressureM = readAltitude(line.substr(kPressureAt, kAltitudeBytes));
        if (!b.pressureM) return std::nullopt;
    }
    if (line.size() >= kGnssAt + kAltitudeBytes) {
        b.gnssM = readAltitude(line.substr(kGnssAt, kAltitudeBytes));
        if (!b.gnssM) return std::nullopt;
    }
    return b;
}

// The first record names the logger's maker: "A" and three characters.
bool startsLikeIgc(std::string_view line) {
    if (line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
    return line.size() >= 4 && line[0] == 'A';
}

}  // namespace

LoadResult readIgc(std::string_view bytes, GpsRead& read) {
    TextLines lines(bytes, TextLines::NulByte::Ordinary);
    std::string_view line;
    if (!lines.next(line) || !startsLikeIgc(line)) return LoadResult::rejected(textOf(Msg::NotIgc));
    const uint16_t track = ++read.trackCounter;
    uint32_t pointNumber = 0;
    std::optional<int32_t> day;
    int32_t lastTimeMs = 0;
    std::string failure;
    DisplaySuspension suspended(read.rows);
    reserveRows(read.rows, expectedLines(bytes, kTypicalLineBytes));
    FirstNulByte nul(bytes);
    while (lines.next(line)) {
        if (lines.lineNumber() % kLinesPerLook == 0) {
            if (read.progress && lookAt(*read.progress, lines)) return LoadResult::cancelled();
            if (read.spent) read.spent->release(static_cast<std::size_t>(line.data() - bytes.data()));
        }
        if (auto error = nul.in(line) ? nulByteError(line) : std::nullopt) {
            failure = *error + lineSuffix(read.path, lines.lineNumber());
            break;
        }
        if (line.size() >= 5 && line[0] == 'H' && line.substr(2, 3) == "DTE") {
            // A logger without a fix yet may write no date at all ("000000"):
            // its B records are then counted as without a time.
            day = readDateHeader(line);
            lastTimeMs = 0;
            continue;
        }
        if (line.empty() || line[0] != 'B') continue;
        const std::optional<BRecord> b = readBRecord(line);
        if (!b) {
            failure = textOf(Msg::IgcDamagedRecord, {quotedExcerpt(line)}) + lineSuffix(read.path, lines.lineNumber());
            break;
        }
        if (!day) {
            ++read.stats.withoutTime;
            continue;
        }
        if (b->timeMs < lastTimeMs - kMidnightStepMs) ++*day;
        lastTimeMs = b->timeMs;
        if (!b->valid) {
            ++read.stats.voidFixes;
            continue;
        }
        PointFields point;
        point.timeMs = int64_t{*day} * kMsPerDay + b->timeMs;
        // Only a file of nothing but midnights gets here.
        if (!dayTimeInRange(static_cast<long double>(point.timeMs) / kMsPerDay)) {
            ++read.stats.impossibleTimes;
            continue;
        }
        point.lat = b->lat;
        point.lon = b->lon;
        if (b->gnssM && *b->gnssM != 0)
            point.elev = feetFromMetres(*b->gnssM);
        else if (b->pressureM)
            point.elev = feetFromMetres(*b->pressureM);
        appendPointRow(read.rows, 'T', TrackReader::pointName(track, ++pointNumber), point);
    }
    if (read.spent) read.spent->release(bytes.size());
    return failure.empty() ? LoadResult::loaded() : LoadResult::failed(failure);
}

}  // namespace geovanta

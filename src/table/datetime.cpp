#include "table/datetime.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "table/numbertext.h"

namespace geovanta {
namespace {

// Days from 1970-01-01 for a proleptic Gregorian date (H. Hinnant's algorithm).
constexpr int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

constexpr int64_t kEpochShift = daysFromCivil(1899, 12, 30);

void civilFromDays(int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (month <= 2));
}

constexpr int64_t kMinMs = static_cast<int64_t>(kMinDays) * kMsPerDay;
constexpr int64_t kMaxMs = static_cast<int64_t>(kMaxDays) * kMsPerDay - 1;

}  // namespace

bool dayTimeInRange(long double days) {
    return std::isfinite(days) && days >= kMinDays && days < kMaxDays;
}

int64_t daysToMs(long double days) {
    if (std::isnan(days)) return 0;
    if (days <= kMinDays) return kMinMs;
    if (days >= kMaxDays) return kMaxMs;
    // In double arithmetic the milliseconds of the day come out within a
    // hair of the extended-precision product, and round the same unless they
    // lie that close to a half: the quick road for the time of every point of
    // a track.
    const auto day = static_cast<double>(days);
    if (static_cast<long double>(day) == days) {
        const double wholeDay = std::floor(day);
        const double quick = (day - wholeDay) * kMsPerDay;
        const auto quickWhole = static_cast<int64_t>(quick);
        const double quickPart = quick - static_cast<double>(quickWhole);
        if (std::fabs(quickPart - 0.5) > 1e-6) {
            const int64_t ms = static_cast<int64_t>(wholeDay) * kMsPerDay + quickWhole + (quickPart > 0.5 ? 1 : 0);
            return ms > kMaxMs ? kMaxMs : ms;
        }
    }
    const long double whole = std::floor(days);
    // rint rounds in the current mode: to nearest, ties to even.
    const auto msOfDay = static_cast<int64_t>(std::rint((days - whole) * kMsPerDay));
    const int64_t ms = static_cast<int64_t>(whole) * kMsPerDay + msOfDay;
    return ms > kMaxMs ? kMaxMs : ms;
}

double msToDays(int64_t ms) { return static_cast<double>(static_cast<long double>(ms) / kMsPerDay); }

bool validDate(int year, int month, int day) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

CivilDateTime msToCivil(int64_t ms) {
    int64_t day = ms / kMsPerDay;
    int64_t rest = ms % kMsPerDay;
    if (rest < 0) {
        rest += kMsPerDay;
        --day;
    }
    CivilDateTime c;
    civilFromDays(day + kEpochShift, c.year, c.month, c.day);
    c.millisecond = static_cast<int>(rest % 1000);
    rest /= 1000;
    c.second = static_cast<int>(rest % 60);
    rest /= 60;
    c.minute = static_cast<int>(rest % 60);
    c.hour = static_cast<int>(rest / 60);
    return c;
}

std::optional<int64_t> civilToMs(const CivilDateTime& c) {
    if (!validDate(c.year, c.month, c.day)) return std::nullopt;
    if (c.hour < 0 || c.hour > 23 || c.minute < 0 || c.minute > 59 || c.second < 0 || c.second > 59 ||
        c.millisecond < 0 || c.millisecond > 999)
        return std::nullopt;
    const int64_t day = daysFromCivil(c.year, static_cast<unsigned>(c.month), static_cast<unsigned>(c.day)) - kEpochShift;
    return day * kMsPerDay + ((c.hour * 60LL + c.minute) * 60 + c.second) * 1000 + c.millisecond;
}

std::string formatDayTime(int64_t ms) {
    const CivilDateTime c = msToCivil(ms);
    char buf[32];
    if (c.hour == 0 && c.minute == 0 && c.second == 0)
        std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", c.day, c.month, c.year);
    else
        std::snprintf(buf, sizeof buf, "%02d.%02d.%04d %02d:%02d:%02d", c.day, c.month, c.year, c.hour, c.minute,
                      c.second);
    return buf;
}

char* putIsoDayTime(char* out, int64_t ms) {
    const CivilDateTime c = msToCivil(ms);
    if (c.year < 0 || c.year > 9999) {
        // Outside the table's range; not worth a fast path.
        const int n = std::snprintf(out, 48, "%04d-%02d-%02d %02d:%02d:%02d.%03d", c.year, c.month, c.day, c.hour,
                                    c.minute, c.second, c.millisecond);
        return out + std::clamp(n, 0, 47);
    }
    // Written digit by digit: the CSV of a big track has a million of these.
    auto two = [&out](int v, char after) {
        *out++ = static_cast<char>('0' + v / 10);
        *out++ = static_cast<char>('0' + v % 10);
        if (after) *out++ = after;
    };
    two(c.year / 100, 0);
    two(c.year % 100, '-');
    two(c.month, '-');
    two(c.day, ' ');
    two(c.hour, ':');
    two(c.minute, ':');
    two(c.second, '.');
    *out++ = static_cast<char>('0' + c.millisecond / 100);
    two(c.millisecond % 100, 0);
    return out;
}

std::string formatIsoDayTime(int64_t ms) {
    char buf[48];
    return std::string(buf, putIsoDayTime(buf, ms));
}

std::optional<int64_t> parseDayTime(std::string_view text) {
    text = trimBlanks(text);
    // Reads up to maxDigits decimal digits; fails on none.
    auto number = [&text](int maxDigits) -> std::optional<int> {
        int value = 0, n = 0;
        while (n < maxDigits && !text.empty() && text.front() >= '0' && text.front() <= '9') {
            value = value * 10 + (text.front() - '0');
            text.remove_prefix(1);
            ++n;
        }
        return n ? std::optional<int>(value) : std::nullopt;
    };
    auto expect = [&text](char c) {
        if (text.empty() || text.front() != c) return false;
        text.remove_prefix(1);
        return true;
    };
    CivilDateTime c;
    auto d = number(2);
    if (!d || !expect('.')) return std::nullopt;
    auto m = number(2);
    if (!m || !expect('.')) return std::nullopt;
    auto y = number(4);
    if (!y) return std::nullopt;
    c.day = *d;
    c.month = *m;
    c.year = *y;
    c.hour = c.minute = c.second = 0;
    if (!text.empty()) {
        if (text.front() != ' ') return std::nullopt;
        text = trimBlanks(text);
        auto h = number(2);
        if (!h || !expect(':')) return std::nullopt;
        auto mi = number(2);
        if (!mi) return std::nullopt;
        c.hour = *h;
        c.minute = *mi;
        if (expect(':')) {
            auto s = number(2);
            if (!s) return std::nullopt;
            c.second = *s;
        }
        if (!text.empty()) return std::nullopt;
    }
    return civilToMs(c);
}

}  // namespace geovanta

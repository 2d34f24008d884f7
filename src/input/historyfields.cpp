#include "input/historyfields.h"

#include <charconv>
#include <cmath>

#include "table/datetime.h"
#include "table/fieldinfo.h"
#include "table/messages.h"
#include "table/numbertext.h"
#include "table/textcodec.h"

namespace geovanta {
namespace {

constexpr double kTwoTo31 = 2147483648.0;
constexpr double kTwoTo32 = 4294967296.0;
// Beyond this a count of milliseconds from 1970 is no date the table holds
// (year 9999 is about 2.5e14 ms away), and adding the epoch cannot overflow.
constexpr int64_t kMaxEpochMs = int64_t{1'000'000'000'000'000};

std::string_view trimmedText(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool inTableRange(int64_t ms) { return dayTimeInRange(static_cast<long double>(ms) / kMsPerDay); }

std::optional<std::string> notANumber(std::string_view text, std::string_view key) {
    return invalidFloatFieldMessage(quotedExcerpt(text), key);
}

// One coordinate of a position text, with its degree sign if any.
std::optional<double> coordinateOf(std::string_view part) {
    part = trimmedText(part);
    if (part.ends_with("\xC2\xB0")) part.remove_suffix(2);  // "°" in UTF-8
    return parseNumber(trimmedText(part));
}

}  // namespace

std::optional<std::string> readE7(std::string_view text, std::string_view key, double limit,
                                  std::optional<double>& degrees) {
    std::optional<double> value = parseNumber(trimmedText(text));
    if (!value) return notANumber(text, key);
    // The values are 32-bit signed numbers; some files hold the negative
    // ones written as unsigned, 2^32 too large.
    if (*value >= kTwoTo31 && *value < kTwoTo32 && *value == std::floor(*value)) *value -= kTwoTo32;
    const double result = *value / 1e7;
    if (!(std::fabs(result) <= limit)) return textOf(Msg::OutOfRangeForField, {quotedExcerpt(text), key});
    degrees = result;
    return std::nullopt;
}

std::optional<std::string> readLatLngText(std::string_view text, std::string_view key, std::optional<double>& lat,
                                          std::optional<double>& lon) {
    std::string_view rest = trimmedText(text);
    if (rest.starts_with("geo:")) rest.remove_prefix(4);
    rest = rest.substr(0, rest.find(';'));
    const std::size_t comma = rest.find(',');
    if (comma == std::string_view::npos) return notANumber(text, key);
    std::string_view second = rest.substr(comma + 1);
    second = second.substr(0, second.find(','));
    const std::optional<double> a = coordinateOf(rest.substr(0, comma)), b = coordinateOf(second);
    if (!a || !b) return notANumber(text, key);
    if (std::fabs(*a) > 90 || std::fabs(*b) > 180) return textOf(Msg::OutOfRangeForField, {quotedExcerpt(text), key});
    lat = a;
    lon = b;
    return std::nullopt;
}

std::optional<std::string> readEpochMs(std::string_view text, int64_t& ms) {
    const std::string_view digits = trimmedText(text);
    int64_t value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    const bool whole = ec == std::errc() && end == digits.data() + digits.size();
    if (!whole || value > kMaxEpochMs || value < -kMaxEpochMs || !inTableRange(kUnixEpochMs + value))
        return textOf(Msg::InvalidDateTime, {quotedExcerpt(text)});
    ms = kUnixEpochMs + value;
    return std::nullopt;
}

std::optional<int64_t> addMinutes(int64_t start, double minutes) {
    // A century and more either way is no offset within one day's segment.
    if (!(std::fabs(minutes) <= 1e8)) return std::nullopt;
    const int64_t ms = start + std::llround(minutes * 60000.0);
    if (!inTableRange(ms)) return std::nullopt;
    return ms;
}

}  // namespace geovanta

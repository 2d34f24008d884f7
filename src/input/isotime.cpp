#include "input/isotime.h"

#include "table/datetime.h"

namespace geovanta {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isXmlBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Reads exactly `count` digits at `pos` and moves past them.
std::optional<int> fixedDigits(std::string_view text, std::size_t& pos, std::size_t count) {
    if (text.size() - pos < count) return std::nullopt;
    int value = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const char c = text[pos + k];
        if (!isDigit(c)) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    pos += count;
    return value;
}

bool expect(std::string_view text, std::size_t& pos, char c) {
    if (pos >= text.size() || text[pos] != c) return false;
    ++pos;
    return true;
}

// Milliseconds of a fraction's digits (after the point), exact halves to even.
int64_t fractionMs(std::string_view digits) {
    int64_t ms = 0;
    for (std::size_t k = 0; k < 3; ++k) ms = ms * 10 + (k < digits.size() ? digits[k] - '0' : 0);
    if (digits.size() <= 3) return ms;
    const std::string_view rest = digits.substr(3);
    const bool aboveHalf =
        rest[0] > '5' || (rest[0] == '5' && rest.find_first_not_of('0', 1) != std::string_view::npos);
    const bool half = rest[0] == '5' && !aboveHalf;
    if (aboveHalf || (half && ms % 2 == 1)) ++ms;
    return ms;
}

// Zone offset in minutes east of UTC; the text from `pos` must be exactly
// the designator.
std::optional<int> zoneMinutes(std::string_view text, std::size_t pos) {
    if (pos == text.size()) return 0;
    if (text.size() - pos == 1 && (text[pos] == 'Z' || text[pos] == 'z')) return 0;
    const char sign = text[pos++];
    if (sign != '+' && sign != '-') return std::nullopt;
    const auto hours = fixedDigits(text, pos, 2);
    if (!hours) return std::nullopt;
    int minutes = 0;
    if (pos < text.size()) {
        expect(text, pos, ':');
        const auto m = fixedDigits(text, pos, 2);
        if (!m || pos != text.size()) return std::nullopt;
        minutes = *m;
    }
    if (*hours > 23 || minutes > 59) return std::nullopt;
    const int total = *hours * 60 + minutes;
    return sign == '-' ? -total : total;
}

}  // namespace

std::optional<int64_t> parseIsoTimeMs(std::string_view text) {
    while (!text.empty() && isXmlBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isXmlBlank(text.back())) text.remove_suffix(1);

    std::size_t pos = 0;
    const auto year = fixedDigits(text, pos, 4);
    if (!year || !expect(text, pos, '-')) return std::nullopt;
    const auto month = fixedDigits(text, pos, 2);
    if (!month || !expect(text, pos, '-')) return std::nullopt;
    const auto day = fixedDigits(text, pos, 2);
    if (!day || pos >= text.size() || (text[pos] != 'T' && text[pos] != 't' && text[pos] != ' ')) return std::nullopt;
    ++pos;
    const auto hour = fixedDigits(text, pos, 2);
    if (!hour || !expect(text, pos, ':')) return std::nullopt;
    const auto minute = fixedDigits(text, pos, 2);
    if (!minute || !expect(text, pos, ':')) return std::nullopt;
    const auto second = fixedDigits(text, pos, 2);
    if (!second) return std::nullopt;
    int64_t fraction = 0;
    if (pos < text.size() && text[pos] == '.') {
        const std::size_t from = ++pos;
        while (pos < text.size() && isDigit(text[pos])) ++pos;
        if (pos == from) return std::nullopt;
        fraction = fractionMs(text.substr(from, pos - from));
    }
    const auto zone = zoneMinutes(text, pos);
    if (!zone) return std::nullopt;

    const bool endOfDay = *hour == 24 && *minute == 0 && *second == 0 && fraction == 0;
    if ((*hour > 23 && !endOfDay) || *minute > 59 || *second > 60) return std::nullopt;
    const auto midnight = civilToMs(CivilDateTime{*year, *month, *day, 0, 0, 0, 0});
    if (!midnight) return std::nullopt;
    const int64_t ms = *midnight + ((*hour * 60LL + *minute - *zone) * 60 + *second) * 1000 + fraction;
    if (!dayTimeInRange(static_cast<long double>(ms) / kMsPerDay)) return std::nullopt;
    return ms;
}

}  // namespace geovanta

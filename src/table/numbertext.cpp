#include "table/numbertext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace geovanta {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Whole numbers up to 2^53 and powers of ten up to 10^22 are exact doubles.
constexpr uint64_t kExactLimit = uint64_t{1} << 53;
constexpr long kExactPowers = 22;
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

}  // namespace

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

namespace {

std::optional<double> parseNumberText(std::string_view text, bool overflowToInfinity) {
    text = trimBlanks(text);
    const char* p = text.data();
    const char* const end = p + text.size();
    if (p == end) return std::nullopt;
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    const char* const mantissaStart = p;
    // The digits' value is taken on the way: it is the answer for every
    // number of up to 19 digits (beyond, it wraps and is not used).
    uint64_t mantissa = 0;
    auto skipDigits = [&p, end, &mantissa] {
        const char* from = p;
        for (; p != end && isDigit(*p); ++p) mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
        return static_cast<std::size_t>(p - from);
    };
    const std::size_t intDigits = skipDigits();
    const char* const intEnd = p;
    std::size_t fracDigits = 0;
    if (p != end && *p == '.') {
        ++p;
        fracDigits = skipDigits();
    }
    if (intDigits + fracDigits == 0) return std::nullopt;
    long exponent = 0;
    if (p != end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool expNegative = p != end && *p == '-';
        if (p != end && (*p == '+' || *p == '-')) ++p;
        if (p == end || !isDigit(*p)) return std::nullopt;
        for (; p != end && isDigit(*p); ++p)
            if (exponent < 100000) exponent = exponent * 10 + (*p - '0');
        if (expNegative) exponent = -exponent;
    }
    if (p != end) return std::nullopt;

    // A whole number and a power of ten that are both exact in a double give
    // the correctly rounded value in one multiplication or division; that is
    // every number of a GPS file. Anything else goes the general way.
    if (intDigits + fracDigits <= 19) {  // 10^19 - 1 fits 64 bits
        const long scale = exponent - static_cast<long>(fracDigits);
        if (mantissa <= kExactLimit && scale >= -kExactPowers && scale <= kExactPowers) {
            const auto m = static_cast<double>(mantissa);
            const double value = scale < 0 ? m / kPowersOfTen[-scale] : m * kPowersOfTen[scale];
            return negative ? -value : value;
        }
    }

    double value = 0;
    auto [ptr, ec] = std::from_chars(mantissaStart, end, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too small to represent reads as zero; too large is not a number we take.
        const auto leadingZeros = static_cast<std::size_t>(
            std::find_if(mantissaStart, intEnd, [](char c) { return c != '0'; }) - mantissaStart);
        const long magnitude = static_cast<long>(intDigits - leadingZeros) + exponent;
        if (magnitude > 0) {
            if (!overflowToInfinity) return std::nullopt;
            value = HUGE_VAL;
        } else {
            value = 0;
        }
    } else if (ec != std::errc() || ptr != end) {
        return std::nullopt;
    }
    if (!std::isfinite(value) && !overflowToInfinity) return std::nullopt;
    return negative ? -value : value;
}

}  // namespace

std::optional<double> parseNumber(std::string_view text) { return parseNumberText(text, false); }

std::optional<double> parseNumberOrInfinity(std::string_view text) { return parseNumberText(text, true); }

std::optional<int32_t> parseInteger(std::string_view text) {
    text = trimBlanks(text);
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        uint32_t value = 0;
        auto [ptr, ec] = std::from_chars(text.data() + 2, text.data() + text.size(), value, 16);
        if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
        return static_cast<int32_t>(value);
    }
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    if (text.empty() || text[0] == '+') return std::nullopt;
    int32_t value = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (ec != std::errc() || ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

double roundHalfEven(long double value) {
    // rint rounds in the current mode, to nearest with ties to even, without
    // the cost of saving the floating-point environment that nearbyint pays.
    return static_cast<double>(std::rint(value));
}

char* putFixed(char* out, long double value, int decimals, int minIntegerDigits) {
    if (!std::isfinite(value)) return out;
    const bool negative = value < 0;
    long double scaled;
    // In double arithmetic, a few units in the last place from the value in
    // extended precision: it rounds the same unless it lies within a hair of
    // a half, and it spares the slow rounding of extended precision for the
    // coordinates of every row.
    const double quick = std::fabs(static_cast<double>(value)) * kPowersOfTen[std::clamp(decimals, 0, 22)];
    const auto quickWhole = static_cast<long long>(std::min(quick, 1e9));
    const double quickPart = quick - static_cast<double>(quickWhole);
    if (decimals <= 22 && quick < 1e9 && std::fabs(quickPart - 0.5) > 1e-6) {
        scaled = static_cast<long double>(quickWhole + (quickPart > 0.5 ? 1 : 0));
    } else {
        long double scale = 1;
        for (int k = 0; k < decimals; ++k) scale *= 10;
        scaled = std::floor(std::fabs(value) * scale + 0.5L);
    }
    char digits[64];
    int n;
    if (scaled < 1e18L) {
        n = static_cast<int>(std::to_chars(digits, digits + sizeof digits, static_cast<unsigned long long>(scaled)).ptr -
                             digits);
    } else {
        n = std::snprintf(digits, sizeof digits, "%.0Lf", scaled);
        if (n <= 0 || n >= static_cast<int>(sizeof digits)) return out;
    }
    const int pad = std::max(0, decimals + minIntegerDigits - n);
    if (negative && scaled != 0) *out++ = '-';
    // The digits padded with zeros in front, with the point before the last
    // `decimals` of them.
    const int integerDigits = n + pad - decimals;
    for (int i = 0; i < n + pad; ++i) {
        if (i == integerDigits) *out++ = '.';
        *out++ = i < pad ? '0' : digits[i - pad];
    }
    return out;
}

std::string formatFixed(long double value, int decimals, int minIntegerDigits) {
    char buf[kNumberTextMax];
    return std::string(buf, putFixed(buf, value, decimals, minIntegerDigits));
}

std::string formatGeneral(double value) {
    if (!std::isfinite(value)) return "0";
    if (value == 0) return "0";
    char buf[64];
    // 15 significant digits; to_chars ignores the locale, unlike printf.
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    if (ec != std::errc()) return "0";
    // Split "d.ddddde[+-]xx" into digits and exponent.
    std::string s(buf, end);
    const std::size_t e = s.find('e');
    const int exponent = std::atoi(s.c_str() + e + 1);
    std::string mantissa = s.substr(0, e);
    const bool negative = mantissa[0] == '-';
    if (negative) mantissa.erase(0, 1);
    std::string digits;
    for (char c : mantissa)
        if (c != '.') digits.push_back(c);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string out = negative ? "-" : "";
    if (exponent < -5 || exponent >= 15) {
        out += digits[0];
        if (digits.size() > 1) out += "." + digits.substr(1);
        out += "E" + std::to_string(exponent);
    } else if (exponent < 0) {
        out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else {
        const auto intLen = static_cast<std::size_t>(exponent + 1);
        if (digits.size() <= intLen) {
            out += digits + std::string(intLen - digits.size(), '0');
        } else {
            out += digits.substr(0, intLen) + "." + digits.substr(intLen);
        }
    }
    return out;
}

namespace {

constexpr uint64_t kWholePowersOfTen[] = {1ULL,
                                          10ULL,
                                          100ULL,
                                          1000ULL,
                                          10000ULL,
                                          100000ULL,
                                          1000000ULL,
                                          10000000ULL,
                                          100000000ULL,
                                          1000000000ULL,
                                          10000000000ULL,
                                          100000000000ULL,
                                          1000000000000ULL,
                                          10000000000000ULL,
                                          100000000000000ULL,
                                          1000000000000000ULL,
                                          10000000000000000ULL};

// Digits of a whole number below 10^17.
int digitCount(uint64_t m) {
    int n = 1;
    while (n < 17 && m >= kWholePowersOfTen[n]) ++n;
    return n;
}

// The shortest text of a value of at most 15 significant digits, exactly as
// std::to_chars writes it, or nullptr for any other value. The numbers of GPS
// files have a handful of decimals; this finds their text in about half the
// time of the general method, and gives up on a full-length number after one
// cheap test.
//
// The text of a whole m with k decimals reads back as the value when
// m / 10^k == value: m below 2^53 and 10^k are exact, so the division is the
// correctly rounded reading. Fewer decimals make a shorter text, so the
// first k that reads back wins. With 15 significant digits or fewer, steps of
// 10^-k are wider than the value's rounding interval: only the whole number
// nearest value * 10^k can read back, and it lies within a few units in the
// last place of that product, which sieves out a full-length value before
// dividing.
char* putFewDigits(char* out, double value) {
    const double a = std::fabs(value);
    if (!(a >= 1e-3 && a < 1e15)) return nullptr;  // also NaN
    const auto whole = static_cast<uint64_t>(a);
    const int integerDigits = whole ? digitCount(whole) : 0;
    const int leadingZeros = whole ? 0 : (a < 0.01 ? 2 : a < 0.1 ? 1 : 0);
    const int maxDecimals = whole ? 15 - integerDigits : 15 + leadingZeros;
    uint64_t m = 0;
    auto readsBack = [a, &m](int k) {
        const double scaled = a * kPowersOfTen[k];
        const double nearest = static_cast<double>(static_cast<int64_t>(scaled + 0.5));
        if (std::fabs(scaled - nearest) > scaled * 0x1p-48 || nearest / kPowersOfTen[k] != a) return false;
        m = static_cast<uint64_t>(nearest);
        return true;
    };
    if (!readsBack(maxDecimals)) return nullptr;
    // The whole number of the fewest decimals is this one without its
    // trailing zeros: below 10^15, two whole numbers over 10^maxDecimals lie
    // further apart than the value's rounding interval is wide, so the one
    // that reads back is unique, and any shorter text that reads back is it
    // with zeros taken off.
    int k = maxDecimals;
    // Eight zeros at a time, then four, two and one: a coordinate of a GPS
    // file has half a dozen of them.
    for (int step : {8, 8, 4, 2, 1}) {
        const uint64_t power = kWholePowersOfTen[step];
        if (k >= step && m % power == 0) {
            m /= power;
            k -= step;
        }
    }
    // std::to_chars takes the shorter of fixed and exponent form, fixed on
    // a tie: "100000" is longer than "1e+05".
    const int digits = digitCount(m);
    int significant = digits;
    for (uint64_t t = m; k == 0 && t % 10 == 0; t /= 10) --significant;
    const int fixedLength = (integerDigits ? integerDigits : 1) + (k ? k + 1 : 0);
    if (fixedLength > significant + (significant > 1 ? 1 : 0) + 4) return nullptr;  // "d.ddde+XX"

    if (value < 0) *out++ = '-';
    char text[24];
    std::to_chars(text, text + sizeof text, m);
    if (!integerDigits) {
        *out++ = '0';
        *out++ = '.';
        for (int i = digits; i < k; ++i) *out++ = '0';
        return std::copy(text, text + digits, out);
    }
    out = std::copy(text, text + integerDigits, out);
    if (k) {
        *out++ = '.';
        out = std::copy(text + integerDigits, text + digits, out);
    }
    return out;
}

}  // namespace

char* putShortest(char* out, double value) {
    if (char* end = putFewDigits(out, value)) return end;
    return std::to_chars(out, out + kNumberTextMax, value).ptr;
}

std::string formatShortest(double value) {
    char buf[kNumberTextMax];
    return std::string(buf, putShortest(buf, value));
}

char* putInteger(char* out, long long value, int minDigits) {
    if (value < 0) *out++ = '-';
    const unsigned long long magnitude =
        value < 0 ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    char digits[24];
    const int n = static_cast<int>(std::to_chars(digits, digits + sizeof digits, magnitude).ptr - digits);
    for (int i = n; i < minDigits; ++i) *out++ = '0';
    return std::copy(digits, digits + n, out);
}

}  // namespace geovanta

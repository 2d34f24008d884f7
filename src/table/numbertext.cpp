#include "table/numbertext.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace geovanta {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

std::optional<double> parseNumber(std::string_view text) {
    text = trimBlanks(text);
    if (text.empty()) return std::nullopt;
    bool negative = false;
    std::size_t i = 0;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        ++i;
    }
    const std::size_t mantissaStart = i;
    std::size_t intDigits = 0, fracDigits = 0, leadingZeros = 0;
    bool seenNonZero = false;
    uint64_t mantissa = 0;  // exact while there are at most 19 digits
    while (i < text.size() && isDigit(text[i])) {
        if (!seenNonZero && text[i] == '0') ++leadingZeros;
        if (text[i] != '0') seenNonZero = true;
        mantissa = mantissa * 10 + static_cast<uint64_t>(text[i] - '0');
        ++intDigits;
        ++i;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            mantissa = mantissa * 10 + static_cast<uint64_t>(text[i] - '0');
            ++fracDigits;
            ++i;
        }
    }
    if (intDigits + fracDigits == 0) return std::nullopt;
    // Up to 15 digits and no exponent: the digits and the power of ten are
    // exact doubles, so one correctly rounded division gives the correctly
    // rounded value, the same as the general conversion, at a fraction of its
    // cost. Track files are made of such numbers.
    if (i == text.size() && intDigits + fracDigits <= 15) {
        static constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        const double value = static_cast<double>(mantissa) / kPow10[fracDigits];
        return negative ? -value : value;
    }
    long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            expNegative = text[i] == '-';
            ++i;
        }
        if (i >= text.size() || !isDigit(text[i])) return std::nullopt;
        while (i < text.size() && isDigit(text[i])) {
            if (exponent < 100000) exponent = exponent * 10 + (text[i] - '0');
            ++i;
        }
        if (expNegative) exponent = -exponent;
    }
    if (i != text.size()) return std::nullopt;

    double value = 0;
    const char* first = text.data() + mantissaStart;
    const char* last = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too small to represent reads as zero; too large is not a number we take.
        const long magnitude = static_cast<long>(intDigits - leadingZeros) + exponent;
        if (magnitude > 0) return std::nullopt;
        value = 0;
    } else if (ec != std::errc() || ptr != last) {
        return std::nullopt;
    }
    if (!std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

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

// rint rounds as nearbyint does (to nearest, ties to even) without saving and
// restoring the floating-point environment on every call.
double roundHalfEven(long double value) { return static_cast<double>(std::rint(value)); }

std::string formatFixed(long double value, int decimals, int minIntegerDigits) {
    if (!std::isfinite(value)) return "";
    const bool negative = value < 0;
    long double scale = 1;
    for (int k = 0; k < decimals; ++k) scale *= 10;
    const long double scaled = std::floor(std::fabs(value) * scale + 0.5L);
    char digits[64];
    int n;
    if (scaled < 1e18L) {
        n = std::snprintf(digits, sizeof digits, "%llu", static_cast<unsigned long long>(scaled));
    } else {
        n = std::snprintf(digits, sizeof digits, "%.0Lf", scaled);
    }
    if (n <= 0 || n >= static_cast<int>(sizeof digits)) return "";
    std::string all(digits, static_cast<std::size_t>(n));
    const std::size_t needed = static_cast<std::size_t>(decimals + minIntegerDigits);
    if (all.size() < needed) all.insert(0, needed - all.size(), '0');
    std::string out;
    if (negative && scaled != 0) out.push_back('-');
    out.append(all, 0, all.size() - static_cast<std::size_t>(decimals));
    if (decimals > 0) {
        out.push_back('.');
        out.append(all, all.size() - static_cast<std::size_t>(decimals), std::string::npos);
    }
    return out;
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

std::string formatShortest(double value) {
    char buf[64];
    auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value);
    if (ec != std::errc()) return "";
    return std::string(buf, ptr);
}

}  // namespace geovanta

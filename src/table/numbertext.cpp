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
    while (i < text.size() && isDigit(text[i])) {
        if (!seenNonZero && text[i] == '0') ++leadingZeros;
        if (text[i] != '0') seenNonZero = true;
        ++intDigits;
        ++i;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++fracDigits;
            ++i;
        }
    }
    if (intDigits + fracDigits == 0) return std::nullopt;
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

double roundHalfEven(long double value) {
    // rint rounds in the current mode, to nearest with ties to even, without
    // the cost of saving the floating-point environment that nearbyint pays.
    return static_cast<double>(std::rint(value));
}

void appendFixed(std::string& out, long double value, int decimals, int minIntegerDigits) {
    if (!std::isfinite(value)) return;
    const bool negative = value < 0;
    long double scale = 1;
    for (int k = 0; k < decimals; ++k) scale *= 10;
    const long double scaled = std::floor(std::fabs(value) * scale + 0.5L);
    char digits[64];
    int n;
    if (scaled < 1e18L) {
        n = static_cast<int>(std::to_chars(digits, digits + sizeof digits, static_cast<unsigned long long>(scaled)).ptr -
                             digits);
    } else {
        n = std::snprintf(digits, sizeof digits, "%.0Lf", scaled);
        if (n <= 0 || n >= static_cast<int>(sizeof digits)) return;
    }
    const int needed = decimals + minIntegerDigits;
    const int pad = needed > n ? needed - n : 0;
    const int integerDigits = n + pad - decimals;
    if (negative && scaled != 0) out.push_back('-');
    // The padded digit string, split at `integerDigits`.
    auto digitAt = [&](int i) { return i < pad ? '0' : digits[i - pad]; };
    for (int i = 0; i < integerDigits; ++i) out.push_back(digitAt(i));
    if (decimals > 0) {
        out.push_back('.');
        for (int i = integerDigits; i < n + pad; ++i) out.push_back(digitAt(i));
    }
}

std::string formatFixed(long double value, int decimals, int minIntegerDigits) {
    std::string out;
    appendFixed(out, value, decimals, minIntegerDigits);
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

void appendShortest(std::string& out, double value) {
    char buf[64];
    auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, value);
    if (ec == std::errc()) out.append(buf, ptr);
}

std::string formatShortest(double value) {
    std::string out;
    appendShortest(out, value);
    return out;
}

void appendInteger(std::string& out, long long value, int minDigits) {
    char buf[32];
    char* p = buf;
    if (value < 0) *p++ = '-';
    const unsigned long long magnitude =
        value < 0 ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    char digits[24];
    const int n = static_cast<int>(std::to_chars(digits, digits + sizeof digits, magnitude).ptr - digits);
    for (int i = n; i < minDigits && p < buf + sizeof buf - sizeof digits; ++i) *p++ = '0';
    out.append(buf, p);
    out.append(digits, static_cast<std::size_t>(n));
}

}  // namespace geovanta

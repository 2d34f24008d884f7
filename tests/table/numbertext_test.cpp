#include "table/numbertext.h"

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstring>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>

using namespace geovanta;

TEST(NumberText, AcceptsTheOneSyntax) {
    EXPECT_EQ(parseNumber("  52.1234567"), 52.1234567);
    EXPECT_EQ(parseNumber(" 351.0 "), 351.0);
    EXPECT_EQ(parseNumber("-777"), -777.0);
    EXPECT_EQ(parseNumber("+5"), 5.0);
    EXPECT_EQ(parseNumber("1.5e3"), 1500.0);
    EXPECT_EQ(parseNumber("1E-2"), 0.01);
    EXPECT_EQ(parseNumber(".5"), 0.5);
    EXPECT_EQ(parseNumber("5."), 5.0);
    EXPECT_EQ(parseNumber("40513.4687500"), 40513.46875);
    EXPECT_EQ(parseNumber("1e-400"), 0.0);  // underflow reads as zero
}

TEST(NumberText, RejectsEverythingElse) {
    for (const char* bad : {"", "   ", "abc", "1,5", "inf", "nan", "INF", "0x10", "1e", "1e+", "--1", "+-1", ".",
                            "1.2.3", "1 2", "\t1", "1e400", "-1e400", "5a", "e5"})
        EXPECT_FALSE(parseNumber(bad)) << '"' << bad << '"';
}

TEST(NumberText, IgnoresTheProcessLocale) {
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "ru_RU.UTF-8"))
        GTEST_SKIP() << "no comma-decimal locale installed";
    EXPECT_EQ(parseNumber("52.5"), 52.5);
    EXPECT_FALSE(parseNumber("52,5"));
    EXPECT_EQ(formatGeneral(0.5), "0.5");
    EXPECT_EQ(formatFixed(637.8, 2), "637.80");
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(NumberText, Integers) {
    EXPECT_EQ(parseInteger("300"), 300);
    EXPECT_EQ(parseInteger("0x10"), 16);
    EXPECT_EQ(parseInteger("0X1f"), 31);
    EXPECT_EQ(parseInteger("-5"), -5);
    EXPECT_FALSE(parseInteger("abc"));
    EXPECT_FALSE(parseInteger("1.5"));
    EXPECT_FALSE(parseInteger("99999999999"));
    EXPECT_FALSE(parseInteger("0x"));
}

TEST(NumberText, Formats) {
    EXPECT_EQ(formatGeneral(1.0 / 24), "0.0416666666666667");
    EXPECT_EQ(formatGeneral(-1.0 / 24), "-0.0416666666666667");
    EXPECT_EQ(formatGeneral(0), "0");
    EXPECT_EQ(formatGeneral(10), "10");
    EXPECT_EQ(formatGeneral(1.5), "1.5");
    EXPECT_EQ(formatGeneral(1e-6), "1E-6");
    EXPECT_EQ(formatGeneral(1.5e20), "1.5E20");
    EXPECT_EQ(formatGeneral(123456789012345.0), "123456789012345");
    EXPECT_EQ(formatFixed(0.125, 2), "0.13");  // halves away from zero
    EXPECT_EQ(formatFixed(-0.125, 2), "-0.13");
    EXPECT_EQ(formatFixed(0.001, 2), "0.00");
    EXPECT_EQ(formatFixed(5.0, 4, 2), "05.0000");
    EXPECT_EQ(formatShortest(0.1), "0.1");
    EXPECT_EQ(roundHalfEven(2.5), 2.0);
    EXPECT_EQ(roundHalfEven(3.5), 4.0);
    EXPECT_EQ(roundHalfEven(-2.5), -2.0);
}

// Most numbers are read without the library's general method; each must
// still be the double nearest to its text.
TEST(NumberText, ReadsTheNearestDouble) {
    std::mt19937_64 random(2024);
    int failures = 0;
    for (int i = 0; i < 200000 && failures < 10; ++i) {
        std::string text = random() % 2 ? "-" : "";
        const int digits = 1 + static_cast<int>(random() % 20);
        for (int d = 0; d < digits; ++d) text += static_cast<char>('0' + random() % 10);
        if (random() % 4) text.insert(text.size() - random() % digits, ".");
        if (random() % 3 == 0) text += "e" + std::to_string(static_cast<int>(random() % 60) - 30);
        if (text.back() == '.' || text[text.size() - 1] == '-') text += "5";
        const std::optional<double> ours = parseNumber(text);
        const double expected = std::strtod(text.c_str(), nullptr);
        if (!ours || *ours != expected || std::signbit(*ours) != std::signbit(expected)) {
            ADD_FAILURE() << text << " read as " << (ours ? std::to_string(*ours) : "nothing");
            ++failures;
        }
    }
    EXPECT_EQ(parseNumber("9007199254740993"), 9007199254740992.0);  // past the exact range
    EXPECT_EQ(parseNumber("0.1e1"), 1.0);
    EXPECT_EQ(parseNumber("123456789012345678901234567890"), 1.2345678901234568e29);
}

// Fixed notation takes a quicker road for most values; it must round as the
// extended-precision rule does, halves included.
TEST(NumberText, FixedNotationRoundsAsExtendedPrecision) {
    auto reference = [](long double value, int decimals) {
        long double scale = 1;
        for (int k = 0; k < decimals; ++k) scale *= 10;
        const long double scaled = std::floor(std::fabs(value) * scale + 0.5L);
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.0Lf", scaled);
        std::string digits = buf;
        if (digits.size() < static_cast<std::size_t>(decimals + 1)) digits.insert(0, decimals + 1 - digits.size(), '0');
        std::string text = (value < 0 && scaled != 0) ? "-" : "";
        text += digits.substr(0, digits.size() - decimals);
        if (decimals) text += "." + digits.substr(digits.size() - decimals);
        return text;
    };
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> degrees(-180, 180);
    int failures = 0;
    for (int i = 0; i < 300000 && failures < 10; ++i) {
        const double x = degrees(random);
        const long double minutes = (std::fabs(static_cast<long double>(x)) - std::trunc(std::fabs(x))) * 60;
        // Exact halves of the last digit and their neighbours too.
        const long double half = (std::floor(minutes * 10000) + 0.5L) / 10000;
        for (long double v : {minutes, half, std::nextafter(half, 0.0L), std::nextafter(half, 100.0L),
                              static_cast<long double>(x), -static_cast<long double>(x) / 7}) {
            for (int decimals : {0, 2, 4}) {
                if (formatFixed(v, decimals) == reference(v, decimals)) continue;
                ADD_FAILURE() << static_cast<double>(v) << " to " << decimals << ": " << formatFixed(v, decimals)
                              << " != " << reference(v, decimals);
                ++failures;
            }
        }
    }
}

// The shortest text is made without std::to_chars for most values; it must
// still be exactly what std::to_chars writes.
TEST(NumberText, ShortestTextIsToCharsText) {
    auto check = [](double v) {
        char ours[kNumberTextMax], theirs[kNumberTextMax];
        const std::string a(ours, putShortest(ours, v));
        const std::string b(theirs, std::to_chars(theirs, theirs + sizeof theirs, v).ptr);
        return a == b ? std::string() : a + " != " + b;
    };
    std::mt19937_64 random(12345);
    int failures = 0;
    for (int i = 0; i < 300000 && failures < 10; ++i) {
        // Decimal texts of every length and scale, as files hold them.
        std::string text = random() % 2 ? "-" : "";
        const int digits = 1 + static_cast<int>(random() % 17);
        for (int d = 0; d < digits; ++d) text += static_cast<char>('0' + random() % 10);
        text.insert(text.size() - random() % (digits + 1), ".");
        if (text.back() == '.') text += "0";
        const double parsed = std::strtod(text.c_str(), nullptr);
        // And arbitrary bit patterns, and the neighbours of the parsed value.
        std::uint64_t bits = random();
        double arbitrary;
        std::memcpy(&arbitrary, &bits, sizeof arbitrary);
        for (double v : {parsed, std::nextafter(parsed, 1e300), std::nextafter(parsed, -1e300), arbitrary,
                         parsed * 1e-3, parsed * 1e12}) {
            const std::string error = check(v);
            if (error.empty()) continue;
            ADD_FAILURE() << text << ": " << error;
            ++failures;
        }
    }
    for (double v : {0.0, -0.0, 1.0, 0.001, 0.0001, 0.01, 100000.0, 1e14, 1e15, 999999999999999.0, 123456789012345.0,
                     0.1 + 0.2, 1.0 / 3, 2.0 / 3, 5e-324, 1.7976931348623157e308, 9007199254740993.0})
        EXPECT_EQ(check(v), "") << v;
}

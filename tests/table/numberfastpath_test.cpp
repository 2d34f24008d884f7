// Short decimal numbers take a shortcut in parseNumber; it must give exactly
// what the general conversion gives.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "table/numbertext.h"

using namespace geovanta;

TEST(NumberTextShortcut, AgreesWithTheGeneralConversion) {
    std::mt19937_64 rng(7);
    int mismatches = 0;
    for (int n = 0; n < 200000; ++n) {
        const int intDigits = static_cast<int>(rng() % 9);
        const int fracDigits = static_cast<int>(rng() % (16 - intDigits));
        std::string text = rng() % 2 ? "-" : "";
        for (int k = 0; k < intDigits; ++k) text += static_cast<char>('0' + rng() % 10);
        if (fracDigits > 0 || intDigits == 0) {
            text += '.';
            for (int k = 0; k < std::max(fracDigits, intDigits == 0 ? 1 : 0); ++k)
                text += static_cast<char>('0' + rng() % 10);
        }
        const std::string digits = text[0] == '-' ? text.substr(1) : text;
        double expected = 0;
        std::from_chars(digits.data(), digits.data() + digits.size(), expected);
        if (text[0] == '-') expected = -expected;
        const auto got = parseNumber(text);
        if (!got || std::memcmp(&*got, &expected, sizeof expected) != 0) {
            if (++mismatches < 5) ADD_FAILURE() << text;
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(parseNumber("0.1"), 0.1);
    EXPECT_EQ(parseNumber("123456789012345"), 123456789012345.0);
    EXPECT_EQ(parseNumber("0.000000000000001"), 1e-15);
    EXPECT_EQ(parseNumber("9007199254740993"), 9007199254740992.0);  // 16 digits: the general way
    EXPECT_TRUE(std::signbit(*parseNumber("-0.0")));
}

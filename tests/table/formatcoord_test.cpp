#include "table/formatcoord.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "table/numbertext.h"

using namespace geovanta;

TEST(FormatCoord, WorkedTable) {
    EXPECT_EQ(FormatCoord("SN", 55.755833), "55 45.3500 N");
    EXPECT_EQ(FormatCoord("SN", -33.5), "33 30.0000 S");
    EXPECT_EQ(FormatCoord("SN", 0), "0 00.0000 N");
    EXPECT_EQ(FormatCoord("WE", 37.617), "37 37.0200 E");
    EXPECT_EQ(FormatCoord("WE", -0.25), "0 15.0000 W");
}

TEST(FormatCoord, EdgeValues) {
    // Minutes that round up to 60 are not carried into the degrees.
    EXPECT_EQ(FormatCoord("SN", 55.9999999), "55 60.0000 N");
    // Three-digit degrees keep their letter.
    EXPECT_EQ(FormatCoord("WE", -122.4194), "122 25.1640 W");
    EXPECT_EQ(FormatCoord("WE", 180), "180 00.0000 E");
    // Absurd values stay defined (degrees are a 16-bit number).
    EXPECT_EQ(FormatCoord("WE", 65536.5), "0 30.0000 E");
}

// Most coordinates are written in double arithmetic; every one must read as
// the extended-precision rule writes it, the halves of the last digit and
// their neighbours included.
TEST(FormatCoord, QuickRoadMatchesExtendedPrecision) {
    auto reference = [](double x) {
        const long double a = std::fabs(static_cast<long double>(x));
        const long double whole = std::trunc(a);
        return std::to_string(static_cast<unsigned>(whole)) + " " + formatFixed((a - whole) * 60, 4, 2) + " " +
               (x < 0 ? "S" : "N");
    };
    std::mt19937_64 random(2024);
    std::uniform_real_distribution<double> degrees(-180, 180);
    int failures = 0;
    for (int i = 0; i < 200000 && failures < 10; ++i) {
        const double x = degrees(random);
        const double whole = std::trunc(std::fabs(x));
        // The degree whose minutes end in an exact half of the last digit.
        const double half = std::copysign(whole + (std::floor((std::fabs(x) - whole) * 600000) + 0.5) / 600000, x);
        for (double v : {x, half, std::nextafter(half, 0.0), std::nextafter(half, 200.0), std::round(x * 1e6) / 1e6}) {
            if (FormatCoord("SN", v) == reference(v)) continue;
            ADD_FAILURE() << v << ": " << FormatCoord("SN", v) << " != " << reference(v);
            ++failures;
        }
    }
}

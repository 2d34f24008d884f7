#include "table/datetime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace geovanta;

TEST(DayTime, CalendarConversionsRoundTrip) {
    // 40513.46875 is 1 December 2010, 11:15:00; day 0 is 30 December 1899.
    EXPECT_EQ(formatDayTime(daysToMs(40513.46875)), "01.12.2010 11:15:00");
    EXPECT_EQ(formatDayTime(daysToMs(36000)), "24.07.1998");  // midnight: the date alone
    EXPECT_EQ(formatDayTime(0), "30.12.1899");
    EXPECT_EQ(formatIsoDayTime(daysToMs(40513.46875)), "2010-12-01 11:15:00.000");
    EXPECT_EQ(formatDayTime(daysToMs(-0.25)), "29.12.1899 18:00:00");
    const auto ms = civilToMs({2010, 12, 1, 11, 15, 0, 0});
    ASSERT_TRUE(ms);
    EXPECT_DOUBLE_EQ(msToDays(*ms), 40513.46875);
    EXPECT_EQ(civilToMs({2024, 2, 29, 0, 0, 0, 0}).has_value(), true);
    EXPECT_EQ(civilToMs({2023, 2, 29, 0, 0, 0, 0}).has_value(), false);
    EXPECT_EQ(civilToMs({1900, 2, 29, 0, 0, 0, 0}).has_value(), false);
    EXPECT_EQ(civilToMs({2010, 1, 1, 24, 0, 0, 0}).has_value(), false);
}

TEST(DayTime, MillisecondRoundingSendsHalvesToEven) {
    // 2^-11 day is exactly 42187.5 ms, 3 * 2^-11 day exactly 126562.5 ms.
    EXPECT_EQ(daysToMs(std::ldexp(1.0L, -11)), 42188);
    EXPECT_EQ(daysToMs(std::ldexp(3.0L, -11)), 126562);
    EXPECT_EQ(daysToMs(40513.0L + 0.4L / kMsPerDay), 40513 * kMsPerDay);
    // Two values within the same millisecond are stored as equal.
    EXPECT_EQ(daysToMs(40513.5L + 0.2L / kMsPerDay), daysToMs(40513.5L - 0.3L / kMsPerDay));
}

TEST(DayTime, OutOfRangeValuesAreRejectedOrClamped) {
    EXPECT_FALSE(dayTimeInRange(1e300L));
    EXPECT_FALSE(dayTimeInRange(NAN));
    EXPECT_TRUE(dayTimeInRange(40513.5L));
    EXPECT_EQ(formatDayTime(daysToMs(1e300L)).substr(6, 4), "9999");
}

TEST(DayTime, ParsesTheDisplayFormat) {
    EXPECT_EQ(parseDayTime("01.12.2010 11:15:00"), daysToMs(40513.46875));
    EXPECT_EQ(parseDayTime("01.12.2010 11:15"), daysToMs(40513.46875));
    EXPECT_EQ(parseDayTime(" 24.07.1998 "), daysToMs(36000));
    EXPECT_FALSE(parseDayTime("31.02.2010"));
    EXPECT_FALSE(parseDayTime("01.12.2010 25:00"));
    EXPECT_FALSE(parseDayTime("2010-12-01"));
    EXPECT_FALSE(parseDayTime(""));
}

namespace {

// Day-times take a quicker road for most values; each must still round to
// the millisecond as the extended-precision rule does, halves included.
TEST(DayTime, QuickRoundingToTheMillisecondAgreesWithExtendedPrecision) {
    auto reference = [](long double days) {
        const long double whole = std::floor(days);
        return static_cast<int64_t>(whole) * kMsPerDay + static_cast<int64_t>(std::rint((days - whole) * kMsPerDay));
    };
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> days(-600000, 2900000);
    int failures = 0;
    for (int i = 0; i < 300000 && failures < 10; ++i) {
        const double d = days(random);
        // Near and exact halves of a millisecond: an odd multiple of 2^-11
        // day is one.
        const double half = (std::floor(d * kMsPerDay) + 0.5) / kMsPerDay;
        const double exactHalf = std::floor(d) + std::ldexp(static_cast<double>(random() % 2048), -11);
        for (double v : {d, half, std::nextafter(half, 0.0), std::nextafter(half, 3e6), exactHalf,
                         std::nextafter(exactHalf, 0.0), std::round(d * 86400) / 86400}) {
            if (daysToMs(v) == reference(v)) continue;
            ADD_FAILURE() << v << ": " << daysToMs(v) << " != " << reference(v);
            ++failures;
        }
    }
}

}  // namespace

#include "binding/timeoffsets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace geovanta;

namespace {

constexpr double kHour = 1.0 / 24;
constexpr double kMinute = 1.0 / 1440;

}  // namespace

TEST(SplitOffset, NearestWholeNumbersWithHalvesToEven) {
    struct Case {
        double offset;
        DayHourMinute parts;
    } cases[] = {
        {0.75, {1, -6, 0}},
        {0.5, {0, 12, 0}},
        {1.5, {2, -12, 0}},
        {-0.3, {0, -7, -12}},
        {2 * kHour + 45 * kMinute, {0, 3, -15}},
        {kHour, {0, 1, 0}},
        {0, {0, 0, 0}},
        {-2.5, {-2, -12, 0}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(splitOffset(c.offset), c.parts) << c.offset;
        // The parts add up to the offset rounded to whole minutes.
        EXPECT_NEAR(composeOffset(c.parts), std::round(c.offset * 1440) / 1440, 1e-12) << c.offset;
    }
}

TEST(SplitOffset, KeepsEachPartWithinItsField) {
    EXPECT_EQ(splitOffset(11), (DayHourMinute{10, 0, 0}));
    EXPECT_EQ(splitOffset(-40), (DayHourMinute{-10, 0, 0}));
    // A value no field could hold, as a damaged settings file might give.
    EXPECT_EQ(splitOffset(1e300), (DayHourMinute{10, 0, 0}));
    EXPECT_EQ(splitOffset(-1e300).days, -10);
    EXPECT_EQ(splitOffset(std::numeric_limits<double>::quiet_NaN()), (DayHourMinute{0, 0, 0}));
}

#include "input/exiftime.h"

#include <gtest/gtest.h>

#include "table/datetime.h"

using namespace geovanta;

namespace {

constexpr int kYear = 2026;  // two-digit years then fall in 1966..2065

int64_t at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return *civilToMs(CivilDateTime{y, mo, d, h, mi, s, 0});
}

}  // namespace

TEST(ExifTime, CameraDateTimes) {
    EXPECT_EQ(exifShootingTimeMs("2010:12:01 11:15:00", kYear), daysToMs(40513.46875L));
    EXPECT_EQ(exifShootingTimeMs("2038:05:05 01:29:24", kYear), at(2038, 5, 5, 1, 29, 24));
    // No calendar date comes out of zeros: day 0, and no error.
    EXPECT_EQ(exifShootingTimeMs("0000:00:00 00:00:00", kYear), 0);
    // Whatever follows the time part is not looked at.
    EXPECT_EQ(exifShootingTimeMs("2010:12:01 11:15:00 extra", kYear), at(2010, 12, 1, 11, 15));
    // Minutes and seconds may be left out.
    EXPECT_EQ(exifShootingTimeMs("2010:12:01 11", kYear), at(2010, 12, 1, 11));
    EXPECT_EQ(exifShootingTimeMs("2010:12:01 7:5", kYear), at(2010, 12, 1, 7, 5));
}

TEST(ExifTime, DatePartRules) {
    struct Case {
        const char* date;
        int64_t expected;
    };
    const Case cases[] = {
        {"2010:12:01", at(2010, 12, 1)},
        {"2010-12-01", at(2010, 12, 1)},  // characters 5 and 8 are not looked at
        {"2010:12:1", at(2010, 12, 1)},
        {"0010:12:01", at(2010, 12, 1)},  // below 100: the hundred-year window
        {"0065:01:01", at(2065, 1, 1)},
        {"0066:01:01", at(1966, 1, 1)},
        {"2010:02:29", 0},                // no such day, and no "." form either
        {"2010.12.01", at(2010, 12, 1)},  // the fall-back reading, year first
        {"10.12.01", at(2010, 12, 1)},
        {"2010:12:01x", 0},               // too long to be read by position
        {"2010.12.01.5", 0},
        {":", 0},
        {"", 0},
        {"2o10:12:01", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.date);
        EXPECT_EQ(exifDateMs(c.date, kYear), c.expected);
    }
}

TEST(ExifTime, BadTimePartsAreErrors) {
    for (const char* text : {"2010:12:01", "2010:12:01  11:15:00", "2010:12:01 24:00:00", "2010:12:01 11:60",
                             "2010:12:01 11:15:60", "2010:12:01 11:15:00:00", "2010:12:01 11h", "2010:12:01 :15"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(exifShootingTimeMs(text, kYear));
    }
    EXPECT_EQ(exifTimePart("2010:12:01"), "");
    EXPECT_EQ(exifTimePart("2010:12:01  11:15:00"), "");
    EXPECT_EQ(exifTimePart("a b c"), "b");
    EXPECT_EQ(invalidTimeMessage(""), "'' is not a valid time");
    EXPECT_EQ(invalidTimeMessage("25:00"), "'25:00' is not a valid time");
}

TEST(ExifTime, UnknownDates) {
    EXPECT_TRUE(exifDateUnknown("    :  :     :  :  "));
    EXPECT_TRUE(exifDateUnknown(""));
    EXPECT_FALSE(exifDateUnknown("0000:00:00 00:00:00"));
    EXPECT_FALSE(exifDateUnknown("2010:12:01 11:15:00"));
}

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
    // Whatever follows the time part is not looked at.
    EXPECT_EQ(exifShootingTimeMs("2010:12:01 11:15:00 extra", kYear), at(2010, 12, 1, 11, 15));
    // Minutes and seconds may be left out.
    EXPECT_EQ(exifShootingTimeMs("2010:12:01 11", kYear), at(2010, 12, 1, 11));
    EXPECT_EQ(exifShootingTimeMs("2010:12:01 7:5", kYear), at(2010, 12, 1, 7, 5));
}

TEST(ExifTime, DatePartRules) {
    struct Case {
        const char* date;
        std::optional<int64_t> expected;
    };
    const Case cases[] = {
        {"2010:12:01", at(2010, 12, 1)},
        {"2010-12-01", at(2010, 12, 1)},  // characters 5 and 8 are not looked at
        {"2010:12:1", at(2010, 12, 1)},
        {"  10:12:01", at(2010, 12, 1)},  // two digits: the hundred-year window
        {"  65:01:01", at(2065, 1, 1)},
        {"  66:01:01", at(1966, 1, 1)},
        {"1900:01:01", at(1900, 1, 1)},   // four digits as written, as ExifTool reads them
        {"0010:12:01", {}},               // before 1900: a damaged or unset clock
        {"0099:12:31", {}},
        {"1899:12:31", {}},
        {"0010.12.01", {}},
        {"2010:02:29", {}},               // no such day, and no "." form either
        {"2021:02:30", {}},
        {"2010:00:01", {}},
        {"2010:13:01", {}},
        {"2010:12:32", {}},
        {"0000:12:01", {}},               // year 0: a clock never set
        {"0000:00:00", {}},
        {"2010.12.01", at(2010, 12, 1)},  // the fall-back reading, year first
        {"10.12.01", at(2010, 12, 1)},
        {"2010:12:01x", {}},              // too long to be read by position
        {"2010.12.01.5", {}},
        {":", {}},
        {"", {}},
        {"2o10:12:01", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.date);
        EXPECT_EQ(exifDateMs(c.date, kYear), c.expected);
    }
}

// Any part that is no date or no time makes the whole no shooting time.
TEST(ExifTime, DateTimesThatAreNone) {
    for (const char* text : {"2010:12:01", "2010:12:01  11:15:00", "2010:12:01 24:00:00", "2010:12:01 11:60",
                             "2010:12:01 11:15:60", "2010:12:01 11:15:00:00", "2010:12:01 11h", "2010:12:01 :15",
                             "2021:02:30 10:00:00", "0000:00:00 00:00:00", "2010:13:01 10:00:00"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(exifShootingTimeMs(text, kYear));
    }
    EXPECT_EQ(exifTimePart("2010:12:01"), "");
    EXPECT_EQ(exifTimePart("2010:12:01  11:15:00"), "");
    EXPECT_EQ(exifTimePart("a b c"), "b");
}

TEST(ExifTime, YearsTooEarlyAreToldApart) {
    EXPECT_TRUE(exifYearTooEarly("0001:01:01 10:00:00"));
    EXPECT_TRUE(exifYearTooEarly("1899:12:31 23:59:59"));
    EXPECT_TRUE(exifYearTooEarly("0010.12.01 10:00"));
    EXPECT_FALSE(exifYearTooEarly("0000:00:00 00:00:00"));  // no year at all
    EXPECT_FALSE(exifYearTooEarly("1900:01:01 00:00:00"));
    EXPECT_FALSE(exifYearTooEarly("  10:12:01 10:00:00"));
    EXPECT_FALSE(exifYearTooEarly("2021:02:30 10:00:00"));
}

TEST(ExifTime, UnknownDates) {
    EXPECT_TRUE(exifDateUnknown("    :  :     :  :  "));
    EXPECT_TRUE(exifDateUnknown(""));
    EXPECT_FALSE(exifDateUnknown("0000:00:00 00:00:00"));
    EXPECT_FALSE(exifDateUnknown("2010:12:01 11:15:00"));
}

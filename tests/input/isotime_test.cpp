#include "input/isotime.h"

#include <gtest/gtest.h>

#include "table/datetime.h"

using namespace geovanta;

namespace {

int64_t utc(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
    return *civilToMs(CivilDateTime{y, mo, d, h, mi, s, ms});
}

}  // namespace

TEST(IsoTime, ZonesAreConvertedToUtc) {
    const int64_t noon = utc(2010, 12, 1, 12, 0, 0);
    for (const char* text : {"2010-12-01T12:00:00Z", "2010-12-01T12:00:00", "2010-12-01T15:00:00+03:00",
                             "2010-12-01T06:30:00-05:30", "2010-12-01T15:00:00+0300", "2010-12-01T15:00:00+03",
                             "2010-12-01t12:00:00z", "2010-12-01 12:00:00Z", " \n 2010-12-01T12:00:00Z\t\r\n"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(parseIsoTimeMs(text), noon);
    }
    // An offset that moves the time across midnight, a month and a year.
    EXPECT_EQ(parseIsoTimeMs("2011-01-01T01:00:00+03:00"), utc(2010, 12, 31, 22, 0, 0));
    EXPECT_EQ(parseIsoTimeMs("2010-12-31T23:30:00-01:00"), utc(2011, 1, 1, 0, 30, 0));
    EXPECT_EQ(parseIsoTimeMs("2012-02-29T12:00:00Z"), utc(2012, 2, 29, 12, 0, 0));
}

TEST(IsoTime, FractionsRoundToTheMillisecond) {
    EXPECT_EQ(parseIsoTimeMs("2010-12-01T08:15:00.25Z"), utc(2010, 12, 1, 8, 15, 0, 250));
    EXPECT_EQ(parseIsoTimeMs("2010-12-01T08:15:00.5+01:00"), utc(2010, 12, 1, 7, 15, 0, 500));
    EXPECT_EQ(parseIsoTimeMs("2010-12-01T08:15:00.123456Z"), utc(2010, 12, 1, 8, 15, 0, 123));
    EXPECT_EQ(parseIsoTimeMs("2010-12-01T08:15:00.1236Z"), utc(2010, 12, 1, 8, 15, 0, 124));
    // Exact halves go to the even millisecond.
    EXPECT_EQ(parseIsoTimeMs("2010-12-01T08:15:00.0005Z"), utc(2010, 12, 1, 8, 15, 0, 0));
    EXPECT_EQ(parseIsoTimeMs("2010-12-01T08:15:00.0015Z"), utc(2010, 12, 1, 8, 15, 0, 2));
    EXPECT_EQ(parseIsoTimeMs("2010-12-01T08:15:00.00050001Z"), utc(2010, 12, 1, 8, 15, 0, 1));
    // Rounding up carries into the next second, minute and day.
    EXPECT_EQ(parseIsoTimeMs("2010-12-31T23:59:59.9996Z"), utc(2011, 1, 1, 0, 0, 0));
}

TEST(IsoTime, EndOfDayAndLeapSecond) {
    EXPECT_EQ(parseIsoTimeMs("2010-12-01T24:00:00Z"), utc(2010, 12, 2, 0, 0, 0));
    EXPECT_EQ(parseIsoTimeMs("2016-12-31T23:59:60Z"), utc(2017, 1, 1, 0, 0, 0));
    EXPECT_FALSE(parseIsoTimeMs("2010-12-01T24:00:01Z"));
    EXPECT_FALSE(parseIsoTimeMs("2010-12-01T24:00:00.5Z"));
}

TEST(IsoTime, OtherTextsAreNoTime) {
    for (const char* text :
         {"", "2010-12-01", "2010-12-01T12:00", "2010-12-01T12:00:00ZZ", "2010-12-01T12:00:00.Z",
          "2010-13-01T12:00:00Z", "2010-02-30T12:00:00Z", "2010-12-01T25:00:00Z", "2010-12-01T12:60:00Z",
          "2010-12-01T12:00:61Z", "2010-12-01T12:00:00+24:00", "2010-12-01T12:00:00+03:60",
          "2010-12-01T12:00:00+3:00", "2010-12-01T12:00:00 +03:00", "10-12-01T12:00:00Z", "2010/12/01T12:00:00Z",
          "2010-12-01T12:00:00+03:00x", "2010-12-01X12:00:00Z", "+2010-12-01T12:00:00Z", "40513.5",
          "2010-12-01T1２:00:00Z"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parseIsoTimeMs(text));
    }
}

TEST(IsoTime, OnlyTimesTheTableHolds) {
    EXPECT_EQ(parseIsoTimeMs("0001-01-01T00:00:00Z"), utc(1, 1, 1, 0, 0, 0));
    EXPECT_FALSE(parseIsoTimeMs("0001-01-01T00:00:00+01:00")) << "before the first day";
    EXPECT_EQ(parseIsoTimeMs("9999-12-31T23:59:59.999Z"), utc(9999, 12, 31, 23, 59, 59, 999));
    EXPECT_FALSE(parseIsoTimeMs("9999-12-31T23:59:59.9996Z")) << "rounds past the last day";
    EXPECT_FALSE(parseIsoTimeMs("9999-12-31T23:00:00-01:00"));
    EXPECT_FALSE(parseIsoTimeMs("0000-01-01T00:00:00Z"));
}

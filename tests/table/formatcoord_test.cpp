#include "table/formatcoord.h"

#include <gtest/gtest.h>

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

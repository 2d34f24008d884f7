// ExifTool's arguments for a photograph row.
#include "output/tagwriter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "output/photorows.h"
#include "output/splitdms.h"
#include "table/datatable.h"

namespace geovanta {
namespace {

using ::testing::ElementsAre;
using test::addPhoto;

TEST(SplitDMS, DegreesMinutesRoundedSecondsAndLetter) {
    EXPECT_EQ(SplitDMS(55.7558, "SN"), (DmsParts{"55", "45", "21", "N"}));
    EXPECT_EQ(SplitDMS(37.6173, "WE"), (DmsParts{"37", "37", "2", "E"}));
    EXPECT_EQ(SplitDMS(-33.5, "SN"), (DmsParts{"33", "30", "0", "S"}));
    EXPECT_EQ(SplitDMS(-70.25, "WE"), (DmsParts{"70", "15", "0", "W"}));
    // Seconds may round up to 60; nothing is carried into the minutes.
    EXPECT_EQ(SplitDMS(48.999999, "SN"), (DmsParts{"48", "59", "60", "N"}));
    EXPECT_EQ(SplitDMS(0.0, "WE"), (DmsParts{"0", "0", "0", "E"}));
    EXPECT_EQ(SplitDMS(-0.0, "WE").letter, "E");
    EXPECT_EQ(SplitDMS(-179.9999999, "WE"), (DmsParts{"179", "59", "60", "W"}));
}

TEST(TagWriter, ArgumentsOfAPhotograph) {
    DataTable table;
    addPhoto(table, "/photo/IMG_0001.JPG", 55.7558, 37.6173, test::feetFor(150));
    addPhoto(table, "/photo/low.jpg", -33.5, -70.25, test::feetFor(-5));
    addPhoto(table, "/photo/-P.jpg", 10, 0);
    EXPECT_THAT(TagWriter::arguments(table, 0),
                ElementsAre("-overwrite_original", "-P", "-v0", "-GPSLatitudeRef=N", "-GPSLatitude=dd/55,mm/45,ss/21",
                            "-GPSLongitudeRef=E", "-GPSLongitude=dd/37,mm/37,ss/2", "-GPSAltitude=150",
                            "-GPSAltitudeRef#=0", "--", "/photo/IMG_0001.JPG"));
    const auto low = TagWriter::arguments(table, 1);
    EXPECT_THAT(std::vector<std::string>(low.begin() + 3, low.end()),
                ElementsAre("-GPSLatitudeRef=S", "-GPSLatitude=dd/33,mm/30,ss/0", "-GPSLongitudeRef=W",
                            "-GPSLongitude=dd/70,mm/15,ss/0", "-GPSAltitude=-5", "-GPSAltitudeRef#=1", "--",
                            "/photo/low.jpg"));
    // No altitude on the track: no altitude arguments at all.
    const auto noElev = TagWriter::arguments(table, 2);
    EXPECT_EQ(noElev.size(), 9u);
    EXPECT_EQ(noElev[6], "-GPSLongitude=dd/0,mm/0,ss/0");
    EXPECT_EQ(noElev[7], "--");
}

}  // namespace
}  // namespace geovanta

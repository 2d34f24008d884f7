// Files large enough that the readers hand back the bytes they have passed:
// the rows and the line named by an error must be those of the whole file.
#include <gtest/gtest.h>

#include <string>

#include "input/gpxreader.h"
#include "input/trackreader.h"
#include "support/tempdir.h"
#include "table/datatable.h"

using namespace geovanta;

namespace {

constexpr int kPoints = 120000;  // several megabytes either way

std::string trackFile(int badLine) {
    std::string text = "OziExplorer Track Point File Version 2.1\r\nWGS 84\r\nAltitude is in Feet\r\nReserved 3\r\n"
                       "0,2,255,Big,0,0,2,8421376\r\n0\r\n";
    for (int i = 0; i < kPoints; ++i) {
        const int line = 7 + i;
        text += line == badLine ? "  55.000000, x37.0000000,0,  100.0,40513.0000000,01-Dec-10, 00:00:00\r\n"
                                : "  55.0000" + std::to_string(100 + i % 900) + ",  37.0000000,0,  100.0," +
                                      std::to_string(40513 + i) + ".0,01-Dec-10, 00:00:00\r\n";
    }
    return text;
}

std::string gpxFile(int badPoint) {
    std::string text = "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\"><trk><trkseg>\n";
    for (int i = 0; i < kPoints; ++i)
        text += std::string("<trkpt lat=\"55.5\" lon=\"") + (i == badPoint ? "x" : "") + "37.5\">\n<ele>100</ele>\n" +
                "<time>2010-12-01T00:00:00Z</time>\n</trkpt>\n";
    return text + "</trkseg></trk></gpx>\n";
}

}  // namespace

TEST(BigFiles, ErrorsNameTheirLineFarIntoTheFile) {
    test::TempDir dir;
    for (const int bad : {kPoints / 2 + 7, kPoints + 6}) {
        DataTable table;
        uint16_t tracks = 0;
        const LoadResult r = TrackReader(table, tracks).load(dir.write("big.plt", trackFile(bad)));
        EXPECT_EQ(r.message, "' x37.0000000' is not a valid floating point value for field 'Lon'\n" + dir.folder() +
                                 "big.plt, line " + std::to_string(bad));
        EXPECT_EQ(table.rowCount(), static_cast<std::size_t>(bad - 7));
    }
    for (const int bad : {kPoints / 2, kPoints - 1}) {
        DataTable table;
        uint16_t tracks = 0;
        const LoadResult r = GpxReader(table, tracks).load(dir.write("big.gpx", gpxFile(bad)));
        EXPECT_EQ(r.message, "'x37.5' is not a valid floating point value for field 'Lon'\n" + dir.folder() +
                                 "big.gpx, line " + std::to_string(3 + 4 * bad));
        EXPECT_EQ(table.rowCount(), static_cast<std::size_t>(bad));
    }
}

TEST(BigFiles, EveryPointOfAWholeFileIsRead) {
    test::TempDir dir;
    DataTable table;
    uint16_t tracks = 0;
    ASSERT_TRUE(TrackReader(table, tracks).load(dir.write("big.plt", trackFile(0))).ok());
    ASSERT_TRUE(GpxReader(table, tracks).load(dir.write("big.gpx", gpxFile(-1))).ok());
    ASSERT_EQ(table.rowCount(), 2u * kPoints);
    std::size_t fromTrack = 0;
    for (std::size_t r = 0; r < table.rowCount(); ++r)
        if (table.text(r, FieldId::Name).starts_with("T01-")) {
            const int i = std::stoi(std::string(table.text(r, FieldId::Name).substr(4))) - 1;
            ASSERT_EQ(table.real(r, FieldId::Lat), std::stod("55.0000" + std::to_string(100 + i % 900))) << i;
            ++fromTrack;
        }
    EXPECT_EQ(fromTrack, static_cast<std::size_t>(kPoints));
}

#include "input/waypointreader.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "input/trackreader.h"
#include "table/datatable.h"
#include "table/datetime.h"
#include "input/ozifileheaders.h"
#include "support/language.h"

using namespace geovanta;
using test::kPltHeader;
using test::kWptHeader;

namespace {

class WaypointReaderTest : public ::testing::Test {
protected:
    LoadResult load(std::string_view bytes, const std::string& name = "w.wpt") {
        return WaypointReader(table).load(dir.write(name, bytes));
    }
    std::string points(std::string_view data) { return std::string(kWptHeader) + std::string(data); }
    std::string name(std::size_t row) const { return std::string(table.text(row, FieldId::Name)); }

    test::TempDir dir;
    DataTable table;
    uint16_t trackCounter = 0;
};

// The worked line with field 15 given.
std::string wpt001(std::string_view elev) {
    return "1,WPT001,-33.123,151.123,36000.0,0,1,3,0,65535,desc,0,0,0," + std::string(elev) + ",6,0,17\r\n";
}

constexpr const char* kRejected = "Файл не совместим с указанным форматом";

}  // namespace

TEST_F(WaypointReaderTest, FormatTests) {
    geovanta::test::LanguageScope russian(Language::Russian);
    const LoadResult four = load(kWptHeader);
    EXPECT_EQ(four.status, LoadResult::Status::Rejected);
    EXPECT_EQ(four.message, kRejected);
    EXPECT_EQ(load("OziExplorer Waypoint File\r\nWGS84\r\n3\r\n4\r\n" + wpt001("0")).message, kRejected);
    EXPECT_EQ(load("Waypoints\r\nWGS 84\r\n3\r\n4\r\n" + wpt001("0")).message, kRejected);
    EXPECT_EQ(load("").message, kRejected);
    EXPECT_TRUE(table.isEmpty());

    const LoadResult five = load(points(wpt001("0")));
    ASSERT_TRUE(five.ok()) << five.message;
    EXPECT_EQ(table.rowCount(), 1u);
    EXPECT_EQ(trackCounter, 0);

    const std::string missing = dir.folder() + "none.wpt";
    const LoadResult absent = WaypointReader(table).load(missing);
    EXPECT_EQ(absent.status, LoadResult::Status::Failed);
    EXPECT_EQ(absent.message, "Cannot open file " + missing + ": No such file or directory");
}

TEST_F(WaypointReaderTest, WorkedLineAndAltitudes) {
    ASSERT_TRUE(load(points(wpt001(" -777") + wpt001("1200") + wpt001("\t-777\x1f") + wpt001(""))).ok());
    ASSERT_EQ(table.rowCount(), 4u);
    EXPECT_EQ(table.text(0, FieldId::Stat), "P");
    EXPECT_EQ(name(0), "WPT001");
    EXPECT_EQ(table.real(0, FieldId::Lat), -33.123);
    EXPECT_EQ(table.real(0, FieldId::Lon), 151.123);
    EXPECT_EQ(table.timeMs(0, FieldId::Time), *civilToMs({1998, 7, 24, 0, 0, 0, 0}));
    EXPECT_EQ(table.optReal(0, FieldId::Elev), 0.0);
    EXPECT_EQ(table.optReal(1, FieldId::Elev), 1200.0);
    EXPECT_EQ(table.optReal(2, FieldId::Elev), 0.0) << "control characters are trimmed for the -777 test";
    EXPECT_EQ(table.optReal(3, FieldId::Elev), std::nullopt);

    const LoadResult blanks = load(points(wpt001("   ")), "blanks.wpt");
    EXPECT_EQ(blanks.message, "'   ' is not a valid floating point value for field 'Elev'\n" + dir.folder() +
                                  "blanks.wpt, line 5");
}

TEST_F(WaypointReaderTest, CoordinatesOffTheGlobeAndAbsurdAltitudes) {
    const std::pair<const char*, const char*> bad[] = {
        {"1,A,90.5,37,40513.5,\r\n", "'90.5' is out of range for field 'Lat'"},
        {"1,A,55,-500,40513.5,\r\n", "'-500' is out of range for field 'Lon'"},
    };
    for (const auto& [line, message] : bad) {
        SCOPED_TRACE(line);
        table.clear();
        const LoadResult r = load(points(wpt001("1") + line));
        EXPECT_EQ(r.message, message + ("\n" + dir.folder() + "w.wpt, line 6"));
        EXPECT_EQ(table.rowCount(), 1u);
    }
    table.clear();
    const LoadResult r = load(points(wpt001("1e20") + wpt001("-2e6") + wpt001("999999")));
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(r.altitudesOutOfRange, 2u);
    EXPECT_EQ(table.real(0, FieldId::Elev), -777);
    EXPECT_EQ(table.real(1, FieldId::Elev), -777);
    EXPECT_EQ(table.real(2, FieldId::Elev), 999999);
}

TEST_F(WaypointReaderTest, WhichLinesAreWaypoints) {
    ASSERT_TRUE(load(points("1,Five,55.5,37.5,40513.5,\r\n"
                            "2,Four,55.5,37.5,40513.5\r\n"
                            "3,Trailing ,55.5,37.5,40513.5,\r\n"
                            "4," + std::string(65, 'N') + ",55.5,37.5,40513.5,\r\n"))
                    .ok());
    ASSERT_EQ(table.rowCount(), 3u);
    EXPECT_EQ(name(0), "Five");
    EXPECT_TRUE(table.isNull(0, FieldId::Elev));
    EXPECT_EQ(name(1), "Trailing ");
    EXPECT_EQ(name(2), std::string(64, 'N'));
}

TEST_F(WaypointReaderTest, BadLineKeepsEarlierWaypoints) {
    const LoadResult r = load(points("1,A,55.5,37.5,40513.5,\r\n2,B,55.5,37.5,,\r\n3,C,55.5,37.5,40513.6,\r\n"));
    EXPECT_EQ(r.status, LoadResult::Status::Failed);
    EXPECT_EQ(r.message.substr(0, r.message.find('\n')), "'' is not a valid floating point value");
    EXPECT_NE(r.message.find(", line 6"), std::string::npos);
    ASSERT_EQ(table.rowCount(), 1u);
    EXPECT_EQ(name(0), "A");
    EXPECT_FALSE(table.displaySuspended());

    auto firstLine = [&](std::string_view line) {
        const std::string m = load(points(line)).message;
        return m.substr(0, m.find('\n'));
    };
    EXPECT_EQ(firstLine("1,A,x,y,z,\r\n"), "'z' is not a valid floating point value");
    EXPECT_EQ(firstLine("1,A,x,y,1,\r\n"), "'x' is not a valid floating point value for field 'Lat'");
    EXPECT_EQ(firstLine("1,A,1,y,1,\r\n"), "'y' is not a valid floating point value for field 'Lon'");
}

TEST_F(WaypointReaderTest, NamesAreBytesInTheWritersCodePage) {
    const std::string kremlin = "\xCA\xF0\xE5\xEC\xEB\xFC";  // "Кремль" in Windows-1251
    ASSERT_TRUE(load(points("1," + kremlin + ",55.75,37.61,40513.5,\r\n")).ok());
    EXPECT_EQ(name(0), kremlin);
    EXPECT_EQ(table.displayText(0, FieldId::Name), "Кремль");
}

TEST_F(WaypointReaderTest, WaypointsLeaveTheTrackNumbering) {
    geovanta::test::LanguageScope russian(Language::Russian);
    const std::string trackFile = dir.write("t.plt", std::string(kPltHeader) + "55.1,37.1,0,100,40513.5\r\n");
    ASSERT_TRUE(TrackReader(table, trackCounter).load(trackFile).ok());
    ASSERT_TRUE(load(points(wpt001("0"))).ok());
    ASSERT_TRUE(TrackReader(table, trackCounter).load(trackFile).ok());
    EXPECT_EQ(trackCounter, 2);
    EXPECT_EQ(name(1), "WPT001");
    EXPECT_EQ(name(2), "T02-0001");

    EXPECT_EQ(WaypointReader(table).load(trackFile).message, kRejected);
}

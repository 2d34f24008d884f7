#include "input/trackreader.h"

#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <string>
#include <utility>
#include <vector>

#include "table/datatable.h"
#include "table/datetime.h"
#include "input/ozifileheaders.h"
#include "support/language.h"

using namespace geovanta;
using test::kPltHeader;

namespace {

class TrackReaderTest : public ::testing::Test {
protected:
    LoadResult load(std::string_view bytes, const std::string& name = "t.plt") {
        return TrackReader(table, trackCounter).load(dir.write(name, bytes));
    }
    std::string track(std::string_view data) { return std::string(kPltHeader) + std::string(data); }
    std::string name(std::size_t row) const { return std::string(table.text(row, FieldId::Name)); }

    test::TempDir dir;
    DataTable table;
    uint16_t trackCounter = 0;
};

constexpr std::string_view kThreePoints =
    "55.1,37.1,0,100,40513.5,,\r\n55.2,37.2,0,110,40513.6,,\r\n55.3,37.3,0,120,40513.7,,\r\n";

int64_t civil(int y, int mo, int d, int h, int mi, int s) { return *civilToMs({y, mo, d, h, mi, s, 0}); }

}  // namespace

TEST_F(TrackReaderTest, EachFileIsTheNextTrackAndLoadingAppends) {
    ASSERT_TRUE(load(track(kThreePoints)).ok());
    ASSERT_TRUE(load(track(kThreePoints)).ok());
    ASSERT_EQ(table.rowCount(), 6u);
    // Appended in file order; ordering by time is the load's pass.
    const char* expected[] = {"T01-0001", "T01-0002", "T01-0003", "T02-0001", "T02-0002", "T02-0003"};
    for (std::size_t r = 0; r < 6; ++r) {
        EXPECT_EQ(name(r), expected[r]);
        EXPECT_EQ(table.text(r, FieldId::Stat), "T");
    }
    EXPECT_EQ(trackCounter, 2);
    EXPECT_FALSE(table.displaySuspended());
}

TEST_F(TrackReaderTest, HeaderTests) {
    geovanta::test::LanguageScope russian(Language::Russian);
    std::string versioned = track(kThreePoints);
    EXPECT_TRUE(load(versioned).ok());

    const LoadResult noBlank = load("OziExplorer Track Point File Version 2.1\r\nWGS84\r\n3\r\n4\r\n5\r\n6\r\n");
    EXPECT_EQ(noBlank.status, LoadResult::Status::Rejected);
    EXPECT_EQ(noBlank.message, "Координаты точек не в WGS 84!");

    const LoadResult both = load("OziExplorer Waypoint File Version 1.1\r\nWGS84\r\n3\r\n4\r\n5\r\n6\r\n");
    EXPECT_EQ(both.status, LoadResult::Status::Rejected);
    EXPECT_EQ(both.message, "Файл не является треком OziExplorer!");

    const LoadResult wrongCase = load("oziexplorer track point file\r\nWGS 84\r\n3\r\n4\r\n5\r\n6\r\n");
    EXPECT_EQ(wrongCase.message, "Файл не является треком OziExplorer!");

    EXPECT_EQ(table.rowCount(), 3u);
    EXPECT_EQ(trackCounter, 1) << "a rejected file is no track";
}

TEST_F(TrackReaderTest, WorkedDataLine) {
    ASSERT_TRUE(load(track("  52.1234567,  21.7654321,0, 351.0,40513.4687500,01-Dec-10,11:15:00\r\n")).ok());
    ASSERT_EQ(table.rowCount(), 1u);
    EXPECT_EQ(table.real(0, FieldId::Lat), 52.1234567);
    EXPECT_EQ(table.real(0, FieldId::Lon), 21.7654321);
    EXPECT_EQ(table.real(0, FieldId::Elev), 351.0);
    EXPECT_EQ(table.timeMs(0, FieldId::Time), civil(2010, 12, 1, 11, 15, 0));
    EXPECT_EQ(table.asString(0, FieldId::Time), "01.12.2010 11:15:00");
    EXPECT_EQ(table.vElev(0), 106);
}

TEST_F(TrackReaderTest, WhichLinesArePoints) {
    // Four commas make a point, three do not and use no number; -777 stays;
    // an empty first field leaves Lat empty.
    ASSERT_TRUE(load(track("55.1,37.1,0,10,40513.1\r\n"
                           "55.2,37.2,0,10\r\n"
                           "55.3,37.3,0,-777,40513.3,,\r\n"
                           ",37.4,0,10,40513.4,,\r\n"
                           "\r\n\r\n"))
                    .ok());
    ASSERT_EQ(table.rowCount(), 3u);
    EXPECT_EQ(name(0), "T01-0001");
    EXPECT_EQ(name(1), "T01-0002");
    EXPECT_EQ(table.real(1, FieldId::Lat), 55.3);
    EXPECT_EQ(table.real(1, FieldId::Elev), -777);
    EXPECT_EQ(table.vElev(1), -236);
    EXPECT_TRUE(table.isNull(2, FieldId::Lat));
    EXPECT_EQ(table.real(2, FieldId::Lon), 37.4);
}

TEST_F(TrackReaderTest, BadFieldKeepsEarlierPointsAndSaysWhere) {
    const std::string file = dir.write("bad.plt", track("55.1,37.1,0,10,40513.1,,\r\n"
                                                        "55.2,37.2,0,10,40513.2,,\r\n"
                                                        "55.3,37.3,0,10, ,,\r\n"
                                                        "55.4,37.4,0,10,40513.4,,\r\n"));
    const LoadResult r = TrackReader(table, trackCounter).load(file);
    EXPECT_EQ(r.status, LoadResult::Status::Failed);
    EXPECT_EQ(r.message, "' ' is not a valid floating point value\n" + file + ", line 9");
    // The table is left consistent: no half-filled row, display back.
    ASSERT_EQ(table.rowCount(), 2u);
    EXPECT_EQ(table.state(), DataTable::State::Browse);
    EXPECT_FALSE(table.displaySuspended());
    EXPECT_EQ(trackCounter, 1) << "the file had passed its header tests";
}

TEST_F(TrackReaderTest, ConversionOrderDecidesTheMessage) {
    auto firstLine = [](const LoadResult& r) { return r.message.substr(0, r.message.find('\n')); };
    EXPECT_EQ(firstLine(load(track("x,y,0,z,\r\n"))), "'' is not a valid floating point value");
    EXPECT_EQ(firstLine(load(track("x,y,0,z,40513\r\n"))), "'x' is not a valid floating point value for field 'Lat'");
    EXPECT_EQ(firstLine(load(track("1,y,0,z,40513\r\n"))), "'y' is not a valid floating point value for field 'Lon'");
    EXPECT_EQ(firstLine(load(track("1,2,0,   ,40513\r\n"))),
              "'   ' is not a valid floating point value for field 'Elev'");
    EXPECT_EQ(firstLine(load(track("1,2,0,5,1e9\r\n"))), "'1e9' is not a valid date and time");
    EXPECT_EQ(firstLine(load(track("1,2,0,5,40513,5\r\n"))).find("not"), std::string::npos) << "field 6 is unread";
    EXPECT_EQ(table.rowCount(), 1u);
}

// A coordinate off the globe is a damaged line, reported as any other; an
// altitude beyond any real one is no altitude: the point is kept without it,
// and counted for the person.
TEST_F(TrackReaderTest, CoordinatesOffTheGlobeAndAbsurdAltitudes) {
    const std::pair<const char*, const char*> bad[] = {
        {"-90.5,37,0,5,40513", "'-90.5' is out of range for field 'Lat'"},
        {" 1000,37,0,5,40513", "' 1000' is out of range for field 'Lat'"},
        {"55,-180.0001,0,5,40513", "'-180.0001' is out of range for field 'Lon'"},
        {"1e999,37,0,5,40513", "'1e999' is not a valid floating point value for field 'Lat'"},
    };
    for (const auto& [line, message] : bad) {
        SCOPED_TRACE(line);
        table.clear();
        const LoadResult r = load(track("55.1,37.1,0,10,40513.1\r\n" + std::string(line) + "\r\n"));
        EXPECT_EQ(r.status, LoadResult::Status::Failed);
        EXPECT_EQ(r.message, message + ("\n" + dir.folder() + "t.plt, line 8"));
        EXPECT_EQ(table.rowCount(), 1u) << "the point before stays";
    }
    table.clear();
    const LoadResult r = load(track("90,180,0,1e20,40513.1\r\n-90,-180,0,-1000000.5,40513.2\r\n"
                                    "55,37,0,1e999,40513.3\r\n55,37,0,-1000000,40513.4\r\n55,37,0,-777,40513.5\r\n"));
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(r.altitudesOutOfRange, 3u);
    std::vector<double> feet;
    for (std::size_t row = 0; row < table.rowCount(); ++row) feet.push_back(table.real(row, FieldId::Elev));
    EXPECT_EQ(feet, (std::vector<double>{-777, -777, -777, -1000000, -777}));
}

TEST_F(TrackReaderTest, ShortAndMissingFiles) {
    const std::string missing = dir.folder() + "none.plt";
    EXPECT_EQ(TrackReader(table, trackCounter).load(missing).message,
              "Cannot open file " + missing + ": No such file or directory");
    EXPECT_EQ(load("").message, "List index out of bounds (0)");
    EXPECT_EQ(load("OziExplorer Track Point File\r\n").message, "List index out of bounds (1)");
    EXPECT_EQ(load("Something else\r\n").status, LoadResult::Status::Rejected);
    const LoadResult five = load("OziExplorer Track Point File\r\nWGS 84\r\n3\r\n4\r\n5\r\n");
    EXPECT_EQ(five.status, LoadResult::Status::Failed);
    EXPECT_EQ(five.message, "List index out of bounds (0)");
    EXPECT_EQ(trackCounter, 0);
    EXPECT_TRUE(table.isEmpty());
}

TEST_F(TrackReaderTest, EmptyTrackStillCounts) {
    ASSERT_TRUE(load(kPltHeader).ok());
    ASSERT_TRUE(load(track(kThreePoints)).ok());
    EXPECT_EQ(name(0), "T02-0001");
}

TEST_F(TrackReaderTest, TrackCounterWrapsPointNumbersGrow) {
    EXPECT_EQ(TrackReader::pointName(3, 10000), "T03-10000");
    EXPECT_EQ(TrackReader::pointName(100, 7), "T100-0007");
    EXPECT_EQ(TrackReader::pointName(0, 0), "T00-0000");

    trackCounter = 65535;
    std::string data = track("");
    for (int i = 0; i < 65537; ++i) data += "1,2,0,3,40513.5\n";
    ASSERT_TRUE(load(data).ok());
    EXPECT_EQ(trackCounter, 0);
    ASSERT_EQ(table.rowCount(), 65537u);
    EXPECT_EQ(name(0), "T00-0001");
    EXPECT_EQ(name(65534), "T00-65535");
    // The 65,537th point is not a second T00-0001.
    EXPECT_EQ(name(65535), "T00-65536");
    EXPECT_EQ(name(65536), "T00-65537");
}

TEST_F(TrackReaderTest, OtherLineEndsAndTheNulByte) {
    const std::string cr = "OziExplorer Track Point File\rWGS 84\r3\r4\r5\r6\r1,2,0,3,40513\r";
    ASSERT_TRUE(load(cr).ok());
    const std::string lf = "OziExplorer Track Point File\nWGS 84\n3\n4\n5\n6\n1,2,0,3,40513\n";
    ASSERT_TRUE(load(lf).ok());
    const std::string lfcr = "OziExplorer Track Point File\n\rWGS 84\n\r3\n\r4\n\r5\n\r6\n\r1,2,0,3,40513\n\r";
    const LoadResult r1 = load(lfcr);
    ASSERT_TRUE(r1.ok()) << r1.message;
    EXPECT_EQ(table.rowCount(), 3u);
    // A NUL byte does not end the file quietly: its line is reported, the
    // points before it stay.
    std::string nul = track("1,2,0,3,40513\r\n");
    nul += std::string("1,2,0,3,40513\0", 14) + "\r\n5,6,0,7,40513\r\n";
    const LoadResult r = load(nul);
    EXPECT_EQ(r.status, LoadResult::Status::Failed);
    EXPECT_EQ(r.message, "A data line holds a NUL byte: the file is damaged\n" + dir.folder() + "t.plt, line 8");
    EXPECT_EQ(table.rowCount(), 4u);
}

TEST_F(TrackReaderTest, CommaDecimalSystemLocaleChangesNothing) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    const std::locale global;
    if (!std::setlocale(LC_ALL, "ru_RU.UTF-8")) GTEST_SKIP() << "no ru_RU.UTF-8 locale";
    std::locale::global(std::locale("ru_RU.UTF-8"));
    const LoadResult r = load(track("52.5,37.25,0,1.5e2,40513.5\r\n"));
    std::locale::global(global);
    std::setlocale(LC_ALL, before.c_str());
    ASSERT_TRUE(r.ok()) << r.message;
    EXPECT_EQ(table.real(0, FieldId::Lat), 52.5);
    EXPECT_EQ(table.real(0, FieldId::Lon), 37.25);
    EXPECT_EQ(table.real(0, FieldId::Elev), 150);
}

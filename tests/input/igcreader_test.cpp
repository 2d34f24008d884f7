// IGC flight logs: real logs against GPSBabel's reading of them, and made-up
// records for dates, altitudes and damage.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "gpsreadfixture.h"
#include "input/igcreader.h"
#include "table/datetime.h"
#include "unicsv.h"

using namespace geovanta;

namespace {

using test::Record;
using test::ReaderRun;

const std::string kTracks = std::string(GEOVANTA_SHARED_DIR) + "/corpus/tracks/";
const std::string kExpected = std::string(GEOVANTA_SHARED_DIR) + "/corpus/expected/";

std::unique_ptr<ReaderRun> readText(std::string_view bytes) { return test::runReader(readIgc, bytes); }

int64_t utcMs(int y, int mo, int d, int h, int mi, int s) { return *civilToMs({y, mo, d, h, mi, s, 0}); }

// GPSBabel writes each log twice, with pressure altitudes and then with GNSS
// ones; every B record of these logs has a GNSS altitude, which is ours.
TEST(IgcCorpus, PointsAsGpsbabelReadsThem) {
    if (!std::filesystem::is_directory(kTracks)) GTEST_SKIP() << "no corpus at " << kTracks;
    // Across midnight UTC; the newer date header; a time zone header.
    for (const char* file : {"igc_lib__new_zealand.igc", "aerofiles__xctrack-2020-09-04.igc", "gpsbabel__92GV66G1.igc"}) {
        SCOPED_TRACE(file);
        const auto r = readText(test::fileBytes(kTracks + file));
        ASSERT_TRUE(r->result.ok()) << r->result.message;
        const std::vector<Record> gb = test::readUnicsv(kExpected + file + ".gpsbabel.csv");
        const std::size_t n = r->table.rowCount();
        ASSERT_EQ(gb.size(), 2 * n);
        for (std::size_t row = 0; row < n && !HasFailure(); ++row) {
            const Record& g = gb[n + row];
            EXPECT_NEAR(r->lat(row), std::stod(g.at("Latitude")), 6e-7) << row;
            EXPECT_NEAR(r->lon(row), std::stod(g.at("Longitude")), 6e-7) << row;
            EXPECT_NEAR(r->elevMetres(row).value(), std::stod(g.at("Altitude")), 1e-6) << row;
            EXPECT_EQ(r->timeMs(row), *test::unicsvTimeMs(g)) << row;
        }
    }
}

constexpr const char* kHeader = "AXXX001 made up\r\nHFTZNTIMEZONE:+13.00\r\n";

TEST(IgcReader, DatesAltitudesAndVoidRecords) {
    const std::string text = std::string(kHeader) +
                             "B2359503839773S17608501EA0035200458\r\n"  // before the date
                             "HFDTEDATE:061109,01\r\n"
                             "B2359583839773S17608501EA0035200458\r\n"
                             "B2359593839773S17608501EV0035200458\r\n"  // no valid fix
                             "B0000013839773S17608501EA0035200000\r\n"  // no GNSS altitude
                             "B0000003839773S17608501EA-001200000\r\n"  // a second back: the same day
                             "B0000023839773S17608501EA00352\r\n"       // only the pressure altitude
                             "B0000033839773S17608501EA\r\n"
                             "LXXX and any other record\r\n";
    const auto r = readText(text);
    ASSERT_TRUE(r->result.ok()) << r->result.message;
    ASSERT_EQ(r->table.rowCount(), 5u);
    EXPECT_EQ(r->timeMs(0), utcMs(2009, 11, 6, 23, 59, 58));
    EXPECT_NEAR(r->lat(0), -(38 + 39.773 / 60), 1e-9);
    EXPECT_NEAR(r->lon(0), 176 + 8.501 / 60, 1e-9);
    EXPECT_NEAR(r->elevMetres(0).value(), 458, 1e-9);
    EXPECT_EQ(r->timeMs(1), utcMs(2009, 11, 7, 0, 0, 1));
    EXPECT_NEAR(r->elevMetres(1).value(), 352, 1e-9);
    EXPECT_EQ(r->timeMs(2), utcMs(2009, 11, 7, 0, 0, 0));
    EXPECT_NEAR(r->elevMetres(2).value(), -12, 1e-9);
    EXPECT_NEAR(r->elevMetres(3).value(), 352, 1e-9);
    EXPECT_FALSE(r->elevMetres(4));
    EXPECT_EQ(r->read.stats.voidFixes, 1u);
    EXPECT_EQ(r->read.stats.withoutTime, 1u);
    // The older header form.
    const auto old = readText(std::string(kHeader) + "HFDTE311299\r\nB2359583839773N17608501WA0035200458\r\n");
    ASSERT_EQ(old->table.rowCount(), 1u);
    EXPECT_EQ(old->timeMs(0), utcMs(1999, 12, 31, 23, 59, 58));
    EXPECT_LT(old->lon(0), 0);
}

TEST(IgcReader, DamageEndsTheReadAfterItsPoints) {
    const std::string good = std::string(kHeader) + "HFDTE060917\r\nB1200003839773S17608501EA0035200458\r\n";
    const char* damaged[] = {
        "B1200013839773S17608501EX0035200458",  // validity
        "B1200603839773S17608501EA0035200458",  // seconds
        "B1200013869773S17608501EA0035200458",  // minutes of latitude
        "B1200013839773S17608501EA00352004x8",  // altitude
        "B12000138397",                         // cut short
    };
    for (const char* line : damaged) {
        SCOPED_TRACE(line);
        const auto r = readText(good + line + "\r\nB1200023839773S17608501EA0035200458\r\n");
        EXPECT_EQ(r->result.status, LoadResult::Status::Failed);
        EXPECT_NE(r->result.message.find("test-file, line 5"), std::string::npos) << r->result.message;
        EXPECT_EQ(r->table.rowCount(), 1u);
    }
    // A date header without a date: its records have no time.
    const auto r = readText(std::string(kHeader) + "HFDTE000000\r\nB1200003839773S17608501EA0035200458\r\n");
    EXPECT_TRUE(r->result.ok());
    EXPECT_EQ(r->read.stats.withoutTime, 1u);
    for (const char* text : {"", "HFDTE060917\r\nB1200003839773S17608501EA0035200458\r\n", "<gpx>"}) {
        const auto notIgc = readText(text);
        EXPECT_EQ(notIgc->result.status, LoadResult::Status::Rejected);
        EXPECT_EQ(notIgc->tracks, 0);
    }
}

}  // namespace

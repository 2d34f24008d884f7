// NMEA logs: real logs against GPSBabel's reading of them, where its rule is
// ours and where it pairs sentences otherwise; made-up sentences for the
// rules real logs here do not show.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "gpsreadfixture.h"
#include "input/nmeareader.h"
#include "table/datetime.h"
#include "unicsv.h"

using namespace geovanta;

namespace {

using test::Record;
using test::ReaderRun;

const std::string kTracks = std::string(GEOVANTA_SHARED_DIR) + "/corpus/tracks/";
const std::string kExpected = std::string(GEOVANTA_SHARED_DIR) + "/corpus/expected/";

bool haveCorpus() { return std::filesystem::is_directory(kTracks); }

std::unique_ptr<ReaderRun> readText(std::string_view bytes) { return test::runReader(readNmea, bytes); }

// "$<body>*<checksum>" and a line end.
std::string sentence(const std::string& body) {
    unsigned sum = 0;
    for (const char c : body) sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return "$" + body + tail;
}

int64_t utcMs(int y, int mo, int d, int h, int mi, int s, int ms = 0) { return *civilToMs({y, mo, d, h, mi, s, ms}); }

// Our row `row` against GPSBabel's point: six decimals of a degree, one of a
// metre.
void expectPoint(const ReaderRun& r, std::size_t row, const Record& gb) {
    SCOPED_TRACE("row " + std::to_string(row) + " (GPSBabel's No " + gb.at("No") + ")");
    EXPECT_NEAR(r.lat(row), std::stod(gb.at("Latitude")), 6e-7);
    EXPECT_NEAR(r.lon(row), std::stod(gb.at("Longitude")), 6e-7);
    const auto alt = gb.find("Altitude");
    if (alt == gb.end() || alt->second.empty()) {
        EXPECT_FALSE(r.elevMetres(row));
    } else {
        EXPECT_NEAR(r.elevMetres(row).value_or(-1e9), std::stod(alt->second), 0.05 + 1e-9);
    }
}

struct CorpusCase {
    const char* file;
    std::size_t rows;
    // GPSBabel gives a GGA the time of the RMC after it. Where a receiver
    // writes a time's RMC before its GGA, or a GGA's RMC was lost, a point
    // has one fix's position and the next one's time, and the last fix is
    // lost; we pair sentences by their time, so its point k is our row k
    // in place and our row k + 1 in time.
    bool timesOneFixLate;
    std::size_t voidFixes, badChecksums;
};

TEST(NmeaCorpus, FixesAsGpsbabelReadsThem) {
    if (!haveCorpus()) GTEST_SKIP() << "no corpus at " << kTracks;
    const CorpusCase cases[] = {
        {"gpsbabel__nmea", 154, false, 0, 0},
        // RMC only, among AIS and other sentences: no altitude.
        {"gpsd__ait250.log", 34, false, 0, 0},
        // Every GGA's checksum is wrong: RMC positions without altitude.
        {"gpsd__firefly-II.log", 23, false, 0, 23},
        // $GN talker, 22 void fixes first.
        {"gpsd__rx210.log", 40, true, 22, 0},
        // Cut and merged sentences, NUL bytes, void fixes with garbage and
        // rollover dates (1999-08-22 for 2019-04-07) around two good ones:
        // a GGA whose RMC was cut, dated by the next RMC, and that RMC.
        {"gpsd__gp-320fw-2019-04-07-coldboot.log", 2, true, 17, 11},
    };
    for (const CorpusCase& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string bytes = test::fileBytes(kTracks + c.file);
        EXPECT_TRUE(looksLikeNmea(std::string_view(bytes).substr(0, 4096)));
        const auto r = readText(bytes);
        ASSERT_TRUE(r->result.ok()) << r->result.message;
        EXPECT_EQ(r->tracks, 1);
        ASSERT_EQ(r->table.rowCount(), c.rows);
        EXPECT_EQ(r->read.stats.voidFixes, c.voidFixes);
        EXPECT_EQ(r->read.stats.badChecksums, c.badChecksums);
        EXPECT_EQ(r->read.stats.impossibleTimes, 0u);
        const std::vector<Record> gb = test::readUnicsv(kExpected + c.file + ".gpsbabel.csv");
        ASSERT_EQ(gb.size(), c.timesOneFixLate ? c.rows - 1 : c.rows);
        for (std::size_t k = 0; k < gb.size(); ++k) {
            expectPoint(*r, k, gb[k]);
            EXPECT_EQ(r->timeMs(c.timesOneFixLate ? k + 1 : k), *test::unicsvTimeMs(gb[k]));
        }
    }
}

// A 4 Hz logger that writes fixes out of order, GGAs without their RMC and
// one 26 lines before it: GPSBabel's times are all among ours, and we have a
// row for each time, the GGA's altitude with its RMC's position.
TEST(NmeaCorpus, SubSecondFixesOutOfOrder) {
    if (!haveCorpus()) GTEST_SKIP() << "no corpus at " << kTracks;
    const std::string file = "gpsbabel__nmea+ms.txt";
    const auto r = readText(test::fileBytes(kTracks + file));
    std::vector<int64_t> times;
    for (std::size_t row = 0; row < r->table.rowCount(); ++row) times.push_back(r->timeMs(row));
    std::vector<int64_t> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_TRUE(std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end());
    EXPECT_NE(sorted, times) << "kept in the file's order, for the load to sort";
    EXPECT_EQ(sorted.size(), 32u);
    EXPECT_EQ(sorted.front(), utcMs(2007, 8, 17, 9, 31, 56, 0));
    const auto late = std::find(times.begin(), times.end(), utcMs(2007, 8, 17, 9, 32, 2, 250)) - times.begin();
    EXPECT_NEAR(r->elevMetres(late).value_or(0), 50.1, 1e-6);
    for (const Record& gb : test::readUnicsv(kExpected + file + ".gpsbabel.csv"))
        EXPECT_TRUE(std::binary_search(sorted.begin(), sorted.end(), *test::unicsvTimeMs(gb))) << gb.at("Time");
}

std::string rmc(const std::string& time, char status, const std::string& lat, const std::string& date) {
    return sentence("GPRMC," + time + "," + status + "," + lat + ",N,03737.0000,E,0.0,0.0," + date + ",,,A");
}
std::string gga(const std::string& time, char quality, const std::string& lat, const std::string& alt) {
    return sentence("GPGGA," + time + "," + lat + ",N,03737.0000,E," + quality + ",08,1.0," + alt + ",M,14.0,M,,");
}
std::string withoutLineEnd(std::string s) { return s.substr(0, s.size() - 2); }

TEST(NmeaReader, WrongCutAndMergedSentences) {
    static const char kCutByNul[] = "$GPRMC,120003.00,A,55\0\0\0\0\r\n";
    std::string wrongSum = rmc("120001.00", 'A', "5545.0010", "150620");
    wrongSum[8] ^= 1;
    const std::string text =
        rmc("120000.00", 'A', "5545.0000", "150620") +
        // The GGA's checksum is wrong: the fix keeps no altitude from it.
        withoutLineEnd(gga("120000.00", '1', "5545.0000", "150.0")) + "0\r\n" + wrongSum +
        "$GPRMC,120002.00,A,5545.00\r\n" + std::string(kCutByNul, sizeof kCutByNul - 1) +
        // Whole without a checksum: taken.
        "$GPRMC,120004.00,A,5545.0040,N,03737.0000,E,0.0,0.0,150620,,\r\n" +
        // A line end lost between two sentences.
        withoutLineEnd(sentence("GPGSA,A,3,,,,,,,,,,,,,2.0,1.0,1.5")) + rmc("120005.00", 'A', "5545.0050", "150620");
    const auto r = readText(text);
    ASSERT_TRUE(r->result.ok()) << r->result.message;
    ASSERT_EQ(r->table.rowCount(), 3u);
    EXPECT_EQ(r->timeMs(0), utcMs(2020, 6, 15, 12, 0, 0));
    EXPECT_FALSE(r->elevMetres(0));
    EXPECT_EQ(r->timeMs(1), utcMs(2020, 6, 15, 12, 0, 4));
    EXPECT_NEAR(r->lat(1), 55.75006667, 1e-8);
    EXPECT_NEAR(r->lon(1), 37.61666667, 1e-8);
    EXPECT_EQ(r->timeMs(2), utcMs(2020, 6, 15, 12, 0, 5));
    EXPECT_EQ(r->read.stats.badChecksums, 4u);
    EXPECT_EQ(r->read.stats.leftOut(), 4u);
}

TEST(NmeaReader, VoidFixesCountOncePerTime) {
    const std::string text = rmc("120000", 'V', "5545.0000", "150620") + gga("120000", '0', "", "") +
                             gga("120001", '0', "5545.0000", "") +
                             // The RMC says the fix is good; the GGA's altitude is not.
                             rmc("120002", 'A', "5545.0000", "150620") + gga("120002", '0', "5545.0000", "150.0") +
                             // A receiver without a time yet.
                             sentence("GPRMC,,V,,,,,,,,,,N") + sentence("GPGGA,,,,,,0,00,99.99,,,,,,") +
                             rmc("120003", 'A', "", "150620") +
                             sentence("GPRMC,120004,A,0000.0000,N,00000.0000,E,0.0,0.0,150620,,,A");
    const auto r = readText(text);
    ASSERT_EQ(r->table.rowCount(), 1u);
    EXPECT_EQ(r->timeMs(0), utcMs(2020, 6, 15, 12, 0, 2));
    EXPECT_FALSE(r->elevMetres(0));
    EXPECT_EQ(r->read.stats.voidFixes, 3u);
    // No position, and 0, 0 for none.
    EXPECT_EQ(r->read.stats.withoutPosition, 2u);
}

TEST(NmeaReader, GgaWithoutRmcTakesTheNearestDate) {
    // Across midnight, before and after the RMC.
    auto r = readText(gga("235959.500", '1', "5545.0000", "150.0") + rmc("000000.000", 'A', "5545.0000", "010120") +
                      gga("000000.000", '1', "5545.0000", "151.0") + gga("000001.000", '1', "5545.0000", "152.0"));
    ASSERT_EQ(r->table.rowCount(), 3u);
    EXPECT_EQ(r->timeMs(0), utcMs(2019, 12, 31, 23, 59, 59, 500));
    EXPECT_NEAR(r->elevMetres(1).value(), 151.0, 1e-6);
    EXPECT_EQ(r->timeMs(2), utcMs(2020, 1, 1, 0, 0, 1));
    // A ZDA's date.
    r = readText(sentence("GPZDA,120000.00,15,06,2020,00,00") + gga("120001", '1', "5545.0000", "150.0"));
    ASSERT_EQ(r->table.rowCount(), 1u);
    EXPECT_EQ(r->timeMs(0), utcMs(2020, 6, 15, 12, 0, 1));
    // No date in the file.
    r = readText(gga("120000", '1', "5545.0000", "150.0") + gga("120001", '1', "5545.0000", "150.0"));
    EXPECT_TRUE(r->result.ok());
    EXPECT_EQ(r->table.rowCount(), 0u);
    EXPECT_EQ(r->read.stats.withoutTime, 2u);
}

// A receiver that missed a GPS week rollover dates its fixes 1024 weeks
// back, whether before or after its good ones in the file.
TEST(NmeaReader, DatesNoFixCanHave) {
    const std::string good = rmc("000400", 'A', "5545.0000", "070419") + rmc("000401", 'A', "5545.0000", "070419");
    const std::string rolled = rmc("000425", 'A', "5545.0000", "220899") + rmc("000426", 'A', "5545.0000", "220899");
    for (const std::string& text : {good + rolled, rolled + good}) {
        const auto r = readText(text);
        ASSERT_EQ(r->table.rowCount(), 2u);
        EXPECT_EQ(r->timeMs(0), utcMs(2019, 4, 7, 0, 4, 0));
        EXPECT_EQ(r->read.stats.impossibleTimes, 2u);
    }
    // A log that goes back a month (a logger's memory read from its middle)
    // is no rollover; a fix dated 2079 is.
    const auto r = readText(good + rmc("120000", 'A', "5545.0000", "070319") + rmc("120001", 'A', "5545.0000", "010179"));
    EXPECT_EQ(r->table.rowCount(), 3u);
    EXPECT_EQ(r->read.stats.impossibleTimes, 1u);
}

TEST(NmeaReader, OnlyFilesWithoutSentencesAreRejected) {
    const std::string ais = "!AIVDM,1,1,,A,15MgK45P3@G?fl0E`JbR0OwT0@MS,0*4E\r\n";
    const std::string notNmea[] = {"", "<?xml version=\"1.0\"?><gpx></gpx>", ais + ais,
                                   "$100 and $200\n"};
    for (const std::string& text : notNmea) {
        SCOPED_TRACE(text);
        const auto r = readText(text);
        EXPECT_EQ(r->result.status, LoadResult::Status::Rejected);
        EXPECT_EQ(r->tracks, 0);
        EXPECT_FALSE(looksLikeNmea(text));
    }
    // Nothing but damaged fixes is still a log: its counts tell why it is empty.
    const auto r = readText("$GPRMC,120002.00,A,5545.00\r\n");
    EXPECT_TRUE(r->result.ok());
    EXPECT_EQ(r->read.stats.badChecksums, 1u);
    // One sentence is too little to tell a log by.
    const std::string one = rmc("120000", 'A', "5545.0000", "150620");
    EXPECT_FALSE(looksLikeNmea("notes\n" + one));
    EXPECT_TRUE(looksLikeNmea("notes\n" + one + gga("120000", '1', "5545.0000", "150.0")));
}

}  // namespace

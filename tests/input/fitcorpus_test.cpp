// Real FIT files from other projects, read in place, against GPSBabel's
// reading of them (its recovery mode for the damaged ones).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "input/fitreader.h"
#include "input/gpsread.h"
#include "input/gzipfile.h"
#include "input/wholefile.h"
#include "table/datatable.h"
#include "table/messages.h"
#include "unicsv.h"

using namespace geovanta;

namespace {

const std::string kCorpus = std::string(GEOVANTA_SHARED_DIR) + "/corpus/";

using Status = LoadResult::Status;

struct CorpusFile {
    const char* name;
    Status status;
    std::size_t failedAt;  // byte offset the failure names
    std::size_t rows;      // GPSBabel's points we keep: all, or those before an impossible time
    std::size_t withoutPosition;
    std::size_t withoutTime;
    std::size_t impossibleTimes;
    bool badChecksum;
    int64_t toleranceMs;  // a device clock correlated to the millisecond, where GPSBabel keeps the second
};

// Points left out: records without a position, saved locations without a
// time, the Strava point dated 2085.
const CorpusFile kFiles[] = {
    {"gpsbabel__garmin-edge-800.fit", Status::Loaded, 0, 1286, 0, 0, 0, false, 0},
    {"gpsbabel__garmin-virb-ultra-30.fit", Status::Loaded, 0, 145, 65, 0, 0, false, 109},
    {"gpsbabel__wahoo-element-bolt.fit", Status::Loaded, 0, 1101, 0, 0, 0, false, 0},
    {"gpsbabel__lezyne_super_gps-garmin_fit-sample-bad-endian.fit", Status::Failed, 0x56d1, 804, 0, 0, 0, true, 0},
    {"gpsbabel__Lctns_Instinct.fit", Status::Loaded, 0, 0, 0, 10, 0, false, 0},
    {"fitparse__coros-pace-2-cycling-misaligned-fields.fit", Status::Loaded, 0, 10305, 967, 0, 0, false, 0},
    {"fitparse__developer-types-sample.fit", Status::Loaded, 0, 3424, 0, 0, 0, false, 0},
    {"fitparse__nick.fit", Status::Failed, 0x627ed, 14391, 0, 0, 0, true, 0},
    {"fitparse__strava-android-app-201.10-b1218918.fit", Status::Failed, 0x1d2f, 236, 236, 0, 1, false, 0},
    {"fitparse__sample_mulitple_header.fit", Status::Loaded, 0, 1462, 311, 0, 0, false, 0},
    {"fitparse__antfs-dump.63.fit", Status::Rejected, 0, 0, 0, 0, 0, false, 0},
    {"fitparse__Settings.fit", Status::Rejected, 0, 0, 0, 0, 0, false, 0},
    {"fitparse__garmin-fenix-5-bike.fit.gz", Status::Loaded, 0, 19, 0, 0, 0, false, 0},
    {"sports-lib__suunto-uphill.fit", Status::Loaded, 0, 2802, 6741, 0, 0, false, 0},
    {"reitti__sample.fit", Status::Loaded, 0, 591, 0, 0, 0, false, 0},
};

}  // namespace

TEST(FitCorpus, ReadsEveryFileAsGpsbabelDoes) {
    if (!std::filesystem::is_directory(kCorpus + "tracks")) GTEST_SKIP() << "no corpus at " << kCorpus;
    for (const CorpusFile& f : kFiles) {
        SCOPED_TRACE(f.name);
        const std::string path = kCorpus + "tracks/" + f.name;
        FileBytes bytes;
        if (std::string(f.name).ends_with(".gz")) {
            const GzipResult inflated = readGzipFile(path, bytes);
            ASSERT_EQ(inflated.status, GzipResult::Status::Whole) << inflated.message;
        } else {
            ASSERT_FALSE(readWholeFile(path, bytes));
        }
        DataTable table;
        uint16_t tracks = 0;
        GpsRead read(table, path, tracks);
        const LoadResult result = readFit(bytes, read);

        ASSERT_EQ(result.status, f.status) << result.message;
        if (f.failedAt) {
            EXPECT_TRUE(result.message.ends_with(", byte " + std::to_string(f.failedAt))) << result.message;
        }
        if (f.status == Status::Rejected) {
            EXPECT_EQ(result.message, textOf(std::string(f.name).find("Settings") != std::string::npos
                                                 ? Msg::FitSettingsFile
                                                 : Msg::FitNoPositions));
            continue;
        }
        EXPECT_EQ(read.stats.withoutPosition, f.withoutPosition);
        EXPECT_EQ(read.stats.withoutTime, f.withoutTime);
        EXPECT_EQ(read.stats.impossibleTimes, f.impossibleTimes);
        EXPECT_EQ(read.stats.warnings.size(), f.badChecksum ? 1u : 0u);
        EXPECT_EQ(tracks, f.rows ? 1 : 0);

        const std::vector<test::Record> expected = test::readUnicsv(kCorpus + "expected/" + f.name + ".gpsbabel.csv");
        ASSERT_EQ(table.rowCount(), f.rows);
        ASSERT_GE(expected.size(), f.rows);
        for (std::size_t row = 0; row < f.rows; ++row) {
            SCOPED_TRACE("point " + std::to_string(row + 1));
            const test::Record& gb = expected[row];
            EXPECT_EQ(table.stat(row), 'T');
            EXPECT_NEAR(table.real(row, FieldId::Lat), std::stod(gb.at("Latitude")), 5e-7);
            EXPECT_NEAR(table.real(row, FieldId::Lon), std::stod(gb.at("Longitude")), 5e-7);
            if (gb.at("Altitude").empty()) {
                EXPECT_TRUE(table.isNull(row, FieldId::Elev));
            } else {
                EXPECT_NEAR(table.real(row, FieldId::Elev) * 0.3048, std::stod(gb.at("Altitude")), 0.05 + 1e-9);
            }
            EXPECT_NEAR(table.timeMs(row, FieldId::Time), *test::unicsvTimeMs(gb), f.toleranceMs);
        }
    }
}

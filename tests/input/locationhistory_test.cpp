// Location histories: the real exports of the shared corpus against the
// points a script took from them, and files made up here for what the corpus
// lacks (times in milliseconds, poor accuracy, damage).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "input/locationhistoryreader.h"
#include "input/wholefile.h"
#include "support/tempdir.h"
#include "table/datatable.h"
#include "table/datetime.h"
#include "table/messages.h"
#include "unicsv.h"

using namespace geovanta;

namespace {

const std::string kCorpus = std::string(GEOVANTA_SHARED_DIR) + "/corpus/";

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Read {
    DataTable rows;
    uint16_t tracks = 0;
    GpsRead read{rows, "h.json", tracks};
    LoadResult result;

    explicit Read(double maxAccuracyM = 100) { read.options.maxAccuracyM = maxAccuracyM; }
    Read& of(std::string_view bytes, std::size_t pieceBytes = 1 << 20) {
        result = readLocationHistory(bytes, read, pieceBytes);
        return *this;
    }
    std::string name(std::size_t row) const { return std::string(rows.text(row, FieldId::Name)); }
};

// (time, lat, lon, elevation in metres or NaN), in time order.
using Point = std::tuple<int64_t, double, double, double>;

std::vector<Point> pointsOf(const DataTable& t) {
    std::vector<Point> out;
    for (std::size_t row = 0; row < t.rowCount(); ++row) {
        const double feet = t.isNull(row, FieldId::Elev) ? NAN : t.real(row, FieldId::Elev);
        out.emplace_back(t.timeMs(row, FieldId::Time), t.real(row, FieldId::Lat), t.real(row, FieldId::Lon),
                         feet * 0.3048);
    }
    std::sort(out.begin(), out.end());
    return out;
}

struct CorpusCase {
    const char* file;
    std::set<std::string> sources;  // the script's sources this reader takes as points
    std::size_t withoutTime;
    std::size_t passedOver;  // said in a warning when nothing else is read
};

}  // namespace

// The script also placed visits and activities at their start and end times;
// this reader passes them over (where someone stayed is no fix), so only the
// rows of paths and raw fixes are compared. The 2013 file's untimed
// waypoints are counted as points without a time.
TEST(LocationHistory, CorpusFilesGiveTheScriptsPathPoints) {
    const std::vector<CorpusCase> cases = {
        {"reitti__Records.json", {"locations"}, 0, 0},
        {"reitti__timeline_from_android_randomized.json", {"timelinePath", "rawSignals.position"}, 0, 0},
        {"reitti__timeline_from_ios_randomized.json", {}, 0, 50},
        {"gpsbabel__2013_MAY.json", {"activitySegment.simplifiedRawPath", "placeVisit.simplifiedRawPath"}, 224, 0},
    };
    if (!std::filesystem::exists(kCorpus + "tracks")) GTEST_SKIP() << "no corpus at " << kCorpus;
    for (const CorpusCase& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = kCorpus + "tracks/" + c.file;
        std::vector<Point> expected;
        for (const test::Record& r : test::readUnicsv(kCorpus + "expected/" + c.file + ".python.csv")) {
            if (!c.sources.count(r.at("Source"))) continue;
            const std::string& alt = r.at("Altitude");
            expected.emplace_back(*test::unicsvTimeMs(r), std::stod(r.at("Latitude")), std::stod(r.at("Longitude")),
                                  alt.empty() ? NAN : std::stod(alt));
        }
        std::sort(expected.begin(), expected.end());
        const std::string bytes = fileBytes(path);
        EXPECT_TRUE(looksLikeLocationHistory(std::string_view(bytes).substr(0, 4096)));

        // Whole, in pieces cut anywhere, from a file whose passed bytes are
        // handed back as the read goes, and from the disk piece by piece.
        for (int mode = 0; mode < 4; ++mode) {
            SCOPED_TRACE(mode);
            Read r;
            FileBytes file;
            if (mode < 2) {
                r.of(bytes, mode == 0 ? 1 << 20 : 7);
            } else if (mode == 2) {
                ASSERT_FALSE(readWholeFile(path, file));
                r.read.spent = &file;
                r.of(file.view(), 4096 + 17);
            } else {
                r.read.path = path;
                r.result = readLocationHistoryFile(r.read, 1000);
            }
            ASSERT_TRUE(r.result.ok()) << r.result.message;
            EXPECT_EQ(r.tracks, 1);
            EXPECT_EQ(r.read.stats.withoutTime, c.withoutTime);
            EXPECT_EQ(r.read.stats.leftOut(), c.withoutTime);
            EXPECT_EQ(r.read.stats.warnings.size(), c.passedOver ? 1u : 0u);
            if (c.passedOver) {
                EXPECT_NE(r.read.stats.warnings[0].find(std::to_string(c.passedOver)), std::string::npos);
            }
            const std::vector<Point> got = pointsOf(r.rows);
            ASSERT_EQ(got.size(), expected.size());
            for (std::size_t k = 0; k < got.size(); ++k) {
                SCOPED_TRACE(k);
                EXPECT_EQ(std::get<0>(got[k]), std::get<0>(expected[k]));
                EXPECT_NEAR(std::get<1>(got[k]), std::get<1>(expected[k]), 5e-8);
                EXPECT_NEAR(std::get<2>(got[k]), std::get<2>(expected[k]), 5e-8);
                const double elev = std::get<3>(got[k]), want = std::get<3>(expected[k]);
                EXPECT_EQ(std::isnan(elev), std::isnan(want));
                if (!std::isnan(want)) {
                    EXPECT_NEAR(elev, want, 1e-6);
                }
            }
            if (!got.empty()) {
                EXPECT_EQ(r.name(0), "T01-0001");
            }
        }
    }
}

// The archive's older shape: times in milliseconds (as strings and as
// numbers), fixes whose accuracy is worse than the limit, negative
// coordinates written as unsigned 32-bit numbers, activities with times of
// their own inside a fix.
TEST(LocationHistory, ArchiveFixesInMillisecondsAndAccuracyLimit) {
    const std::string json = R"({"locations": [
  {"timestampMs": "1365999086860", "latitudeE7": 525121303, "longitudeE7": 134309551, "accuracy": 25,
   "altitude": 40, "activity": [{"timestampMs": "1365999999999", "activity": [{"type": "STILL"}]}]},
  {"timestampMs": 1365999150000, "latitudeE7": "525122834", "longitudeE7": "134313306", "accuracy": 100},
  {"timestampMs": "1365999200000", "latitudeE7": 525122834, "longitudeE7": 134313306, "accuracy": 1500},
  {"timestampMs": "1365999300000", "latitudeE7": 4294967295, "longitudeE7": 3000000000, "accuracy": null},
  {"latitudeE7": 525122834, "longitudeE7": 134313306},
  {"timestampMs": "1365999400000", "accuracy": 5},
  {}
]})";
    Read r;
    r.of(json);
    ASSERT_TRUE(r.result.ok()) << r.result.message;
    ASSERT_EQ(r.rows.rowCount(), 3u);
    EXPECT_EQ(r.name(2), "T01-0003");
    EXPECT_EQ(r.rows.timeMs(0, FieldId::Time), kUnixEpochMs + 1365999086860);
    EXPECT_EQ(r.rows.timeMs(1, FieldId::Time), kUnixEpochMs + 1365999150000);
    EXPECT_NEAR(r.rows.real(0, FieldId::Elev) * 0.3048, 40, 1e-9);
    EXPECT_TRUE(r.rows.isNull(1, FieldId::Elev));
    EXPECT_NEAR(r.rows.real(2, FieldId::Lat), -1e-7, 1e-12);
    EXPECT_NEAR(r.rows.real(2, FieldId::Lon), (3000000000.0 - 4294967296.0) / 1e7, 1e-9);
    EXPECT_EQ(r.read.stats.inaccurate, 1u);
    EXPECT_EQ(r.read.stats.withoutTime, 1u);
    EXPECT_EQ(r.read.stats.withoutPosition, 1u);

    Read strict(30);
    strict.of(json);
    EXPECT_EQ(strict.rows.rowCount(), 2u);
    EXPECT_EQ(strict.read.stats.inaccurate, 2u);
}

// The other phone's shape: path points timed by minutes after their
// segment's start, which may come after the path; numbers as strings.
TEST(LocationHistory, PathPointsTimedFromTheirSegmentsStart) {
    const std::string json = R"([
  {"endTime": "2023-12-27T14:00:00+01:00",
   "timelinePath": [{"point": "geo:55.5963490,24.7405147", "durationMinutesOffsetFromStartTime": "0"},
                    {"point": "geo:55.6,24.8;u=12", "durationMinutesOffsetFromStartTime": "1.5"}],
   "startTime": "2023-12-27T13:00:00+01:00"},
  {"startTime": "2023-12-27T15:00:00Z",
   "timelinePath": [{"point": "55.7°, 24.9°", "durationMinutesOffsetFromStartTime": "2"}]},
  {"timelinePath": [{"point": "geo:55.7,24.9", "durationMinutesOffsetFromStartTime": "2"}]},
  {"startTime": "2023-12-28T10:00:00Z", "visit": {"topCandidate": {"placeLocation": "geo:55.6,24.7"}}}
])";
    Read r;
    r.of(json);
    ASSERT_TRUE(r.result.ok()) << r.result.message;
    const std::vector<Point> got = pointsOf(r.rows);
    ASSERT_EQ(got.size(), 3u);
    const int64_t start = *civilToMs({2023, 12, 27, 12, 0, 0, 0});
    EXPECT_EQ(std::get<0>(got[0]), start);
    EXPECT_EQ(std::get<0>(got[1]), start + 90000);
    EXPECT_NEAR(std::get<1>(got[1]), 55.6, 1e-12);
    EXPECT_EQ(std::get<0>(got[2]), start + 3 * 3600000 + 120000);
    EXPECT_NEAR(std::get<2>(got[2]), 24.9, 1e-12);
    EXPECT_EQ(r.read.stats.withoutTime, 1u);  // a path without a start
    EXPECT_TRUE(r.read.stats.warnings.empty());
}

TEST(LocationHistory, OtherFilesAreRejectedUntouched) {
    for (const std::string bytes :
         {"", "   ", "<gpx/>", R"({"type": "FeatureCollection", "features": [{"type": "Feature"}]})", "[1, 2, 3]",
          "{\"type\": ", "\xEF\xBB\xBF[{\"name\": \"x\"}]", "42"}) {
        SCOPED_TRACE(bytes);
        Read r;
        r.of(bytes);
        EXPECT_EQ(r.result.status, LoadResult::Status::Rejected);
        EXPECT_EQ(r.rows.rowCount(), 0u);
        EXPECT_EQ(r.tracks, 0);
        EXPECT_FALSE(looksLikeLocationHistory(bytes));
    }
}

// Damage keeps the points before it and names the line and byte; nesting
// without end fails at a bound instead of exhausting the stack or memory.
TEST(LocationHistory, DamagedAndHostileFilesKeepThePointsBefore) {
    const std::string fix = R"({"latitudeE7": 1, "longitudeE7": 2, "timestamp": "2020-01-01T00:00:00Z"},)" "\n";
    std::string fixes = "{\"locations\": [\n";
    for (int k = 0; k < 3; ++k) fixes += fix;
    struct Case {
        std::string bytes, message;
    };
    const std::string deep = std::string(100000, '[');
    const std::vector<Case> cases = {
        {fixes.substr(0, fixes.size() - 2), "Malformed JSON: parse error: premature EOF\nh.json, line 4, byte 236"},
        {fixes + R"({"latitudeE7": "1,5", "timestamp": "2020-01-01T00:00:00Z"})",
         "'1,5' is not a valid floating point value for field 'latitudeE7'\nh.json, line 5, byte 258"},
        {fixes + R"({"latitudeE7": 1, "longitudeE7": 2, "timestamp": "2020-13-01T00:00:00Z"})",
         "'2020-13-01T00:00:00Z' is not a valid date and time\nh.json, line 5, byte 309"},
        {fixes + R"({"latitudeE7": 900000001, "longitudeE7": 2, "timestamp": "2020-01-01T00:00:00Z"})",
         "'900000001' is out of range for field 'latitudeE7'\nh.json, line 5, byte 262"},
        {fixes + "{\"x\": " + deep, "The JSON nests deeper than 64 levels\nh.json, line 5, byte 306"},
        {fixes + std::string("\0]}", 3), "Malformed JSON: lexical error: invalid char in json text.\nh.json, line 5, byte 239"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        for (std::size_t piece : {std::size_t{1} << 20, std::size_t{5}}) {
            Read r;
            r.of(c.bytes, piece);
            EXPECT_EQ(r.result.status, LoadResult::Status::Failed);
            EXPECT_EQ(r.result.message, c.message);
            EXPECT_EQ(r.rows.rowCount(), 3u);
            EXPECT_EQ(r.rows.suspendCount(), 0);
        }
    }
    Read r;
    r.of(deep);
    EXPECT_EQ(r.result.message, "The JSON nests deeper than 64 levels\nh.json, line 1, byte 65");
}

// Bytes handed back as the read passes them read as zeros afterwards: a
// parser that looked back at them would lose points or fail.
TEST(LocationHistory, ProgressCancelAndBytesHandedBack) {
    std::string json = "{\"locations\": [";
    for (int k = 0; k < 60000; ++k)
        json += R"({"latitudeE7": 1, "longitudeE7": 2, "timestampMs": ")" + std::to_string(1600000000000 + k) +
                R"(", "source": "a string cut somewhere between two pieces"},)" + "\n";
    json += "{}]}";
    ASSERT_GT(json.size(), 6u << 20);
    test::TempDir dir;
    FileBytes file;
    ASSERT_FALSE(readWholeFile(dir.write("big.json", json), file));
    Read r;
    r.read.spent = &file;
    Progress progress;
    r.read.progress = &progress;
    r.of(file.view(), (64 << 10) + 3);
    ASSERT_TRUE(r.result.ok()) << r.result.message;
    ASSERT_EQ(r.rows.rowCount(), 60000u);
    EXPECT_EQ(r.rows.timeMs(59999, FieldId::Time), kUnixEpochMs + 1600000059999);
    EXPECT_EQ(progress.done(), json.size());

    progress.cancel();
    Read cancelled;
    cancelled.read.progress = &progress;
    cancelled.of(json, 4096);
    EXPECT_EQ(cancelled.result.status, LoadResult::Status::Cancelled);
}

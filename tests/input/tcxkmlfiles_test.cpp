// TCX, KML and KMZ files from devices and programs (the shared corpus),
// checked against GPSBabel's reading of them; and one ride as GPX and as
// GPSBabel's TCX, KML and KMZ of it, which must give the same points.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "gpsreadcall.h"
#include "input/gpxreader.h"
#include "input/kmlreader.h"
#include "input/tcxreader.h"
#include "table/datatable.h"
#include "zipfixtures.h"

using namespace geovanta;
namespace fs = std::filesystem;

namespace {

const fs::path kData(GEOVANTA_TEST_DATA);
const fs::path kCorpus = fs::path(GEOVANTA_SHARED_DIR) / "corpus";

std::string gunzipped(const fs::path& file) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(("gzip -dc '" + file.string() + "'").c_str(), "r"), &pclose);
    std::string out;
    char buffer[4096];
    for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) out.append(buffer, n);
    return out;
}

struct CorpusFile {
    const char* name;
    test::GpsReader reader;
    std::size_t tracks, withoutTime, withoutPosition;
    const char* expected;  // GPSBabel's points, or those of the first .kml of a KMZ
};

}  // namespace

// GPSBabel drops what we count as left out: TCX Trackpoints without a
// Position, KML times without a gx:coord; it spreads a TimeSpan over a
// LineString's points, which we count as without a time, and reads none of
// the namespace-prefixed KML inside the KMZ, which a namespace-aware reading
// gives instead (only its first .kml is ours to read).
TEST(TcxKmlFiles, CorpusAgainstGpsbabel) {
    if (!fs::exists(kCorpus)) GTEST_SKIP() << "no shared corpus at " << kCorpus;
    const CorpusFile files[] = {
        {"gpsbabel__gtrnctr-lap_s.tcx", readTcx, 1, 0, 15, "gpsbabel__gtrnctr-lap_s.tcx.gpsbabel.csv"},
        {"sports-lib__unknown_example.tcx", readTcx, 1, 0, 0, "sports-lib__unknown_example.tcx.gpsbabel.csv"},
        {"sports-lib__20181021_run_3106033902.tcx", readTcx, 1, 0, 1,
         "sports-lib__20181021_run_3106033902.tcx.gpsbabel.csv"},
        {"gpsbabel__kona2013.tcx.gz", readTcx, 1, 0, 0, "gpsbabel__kona2013.tcx.gz.gpsbabel.csv"},
        {"gpsbabel__google_ext.kml", readKml, 1, 0, 2, "gpsbabel__google_ext.kml.gpsbabel.csv"},
        {"gpsbabel__opentracks.kml", readKml, 1, 0, 2, "gpsbabel__opentracks.kml.gpsbabel.csv"},
        {"gpsbabel__skydrop.kml", readKml, 0, 1329, 0, nullptr},
        // The path of the three points, untimed, and three accuracy circles.
        {"geotag__kmz1.kmz", readKmz, 0, 3 + 3 * 16, 0, "geotag__kmz1.kmz.python.csv"},
    };
    for (const CorpusFile& f : files) {
        SCOPED_TRACE(f.name);
        const fs::path file = kCorpus / "tracks" / f.name;
        const std::string bytes = file.extension() == ".gz" ? gunzipped(file) : test::fileBytes(file.string());
        DataTable t;
        const test::GpsReadCall call = test::callReader(f.reader, t, bytes, file.string());
        ASSERT_TRUE(call.result.ok()) << call.result.message;
        EXPECT_EQ(call.tracks, f.tracks);
        EXPECT_EQ(call.stats.withoutTime, f.withoutTime);
        EXPECT_EQ(call.stats.withoutPosition, f.withoutPosition);
        std::vector<test::Record> expected;
        if (f.expected) expected = test::readUnicsv((kCorpus / "expected" / f.expected).string());
        std::erase_if(expected, [](const test::Record& r) { return r.contains("Source") && !r.at("Source").starts_with("track1.kml"); });
        const char kind = file.extension() == ".kmz" ? 'P' : 'T';
        EXPECT_EQ(t.rowCount(), expected.size());
        test::expectUnicsvPoints(t, test::rowsOfKind(t, kind), expected);
    }
}

// GPSBabel's TCX holds the two tracks of ride.gpx as Courses, its KML the
// waypoints and tracks (and the tracks and route once more as LineStrings).
TEST(TcxKmlFiles, SameRideAsGpxTcxKmlAndKmz) {
    DataTable gpx;
    uint16_t gpxTracks = 0;
    ASSERT_TRUE(GpxReader(gpx, gpxTracks).load((kData / "ride.gpx").string()).ok());
    std::vector<std::size_t> gpxTrack, gpxWaypoints;
    for (std::size_t row : test::fileOrder(gpx)) {
        const std::string_view name = gpx.text(row, FieldId::Name);
        if (gpx.stat(row) == 'P') gpxWaypoints.push_back(row);
        if (name.starts_with("T02-") || name.starts_with("T03-")) gpxTrack.push_back(row);
    }
    const std::string kml = test::fileBytes((kData / "ride.kml").string());
    struct Case {
        const char* name;
        test::GpsReader reader;
        std::string bytes;
        std::size_t withoutTime;
        bool waypoints;
    } cases[] = {
        {"ride.tcx", readTcx, test::fileBytes((kData / "ride.tcx").string()), 1, false},
        {"ride.kml", readKml, kml, 1 + 1 + 13, true},
        {"ride.kmz", readKmz, test::zipOf({{"doc.kml", kml}}), 1 + 1 + 13, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DataTable t;
        const test::GpsReadCall call = test::callReader(c.reader, t, c.bytes, c.name);
        ASSERT_TRUE(call.result.ok()) << call.result.message;
        EXPECT_EQ(call.tracks, 2);
        EXPECT_EQ(call.stats.withoutTime, c.withoutTime);
        std::vector<std::size_t> rows = test::rowsOfKind(t, 'T'), expected = gpxTrack;
        for (std::size_t row : test::rowsOfKind(t, 'P')) rows.push_back(row);
        if (c.waypoints) expected.insert(expected.end(), gpxWaypoints.begin(), gpxWaypoints.end());
        ASSERT_EQ(rows.size(), expected.size());
        EXPECT_EQ(t.text(rows[gpxTrack.size() - 1], FieldId::Name), "T02-0003");
        for (std::size_t k = 0; k < rows.size(); ++k) {
            for (FieldId f : {FieldId::Lat, FieldId::Lon, FieldId::Elev})
                EXPECT_NEAR(t.real(rows[k], f), gpx.real(expected[k], f), 1e-6) << k;
            EXPECT_EQ(t.timeMs(rows[k], FieldId::Time), gpx.timeMs(expected[k], FieldId::Time)) << k;
            if (t.stat(rows[k]) == 'P') {
                EXPECT_EQ(t.text(rows[k], FieldId::Name), gpx.text(expected[k], FieldId::Name));
            }
        }
    }
}

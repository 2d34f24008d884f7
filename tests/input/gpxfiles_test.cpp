// GPX files written by hand and by GPSBabel (from our own files, see
// tests/data/README.md), checked against GPSBabel's reading of them; and one
// walk as GPX and as an OziExplorer track, which must place photographs alike.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "binding/calcpositions.h"
#include "input/gpxreader.h"
#include "input/pointfields.h"
#include "input/trackreader.h"
#include "table/datatable.h"
#include "table/datetime.h"
#include "unicsv.h"

using namespace geovanta;
namespace fs = std::filesystem;

namespace {

const fs::path kData(GEOVANTA_TEST_DATA);

struct Loaded {
    LoadResult result;
    GpxLoadStats stats;
};

Loaded loadGpx(DataTable& table, const fs::path& file) {
    uint16_t tracks = 0;
    GpxReader reader(table, tracks);
    Loaded out{reader.load(file.string()), {}};
    out.stats = reader.stats();
    return out;
}

// The rows of one kind, or of one track, in file order.
std::vector<std::size_t> rowsWhere(const DataTable& t, const std::string& namePrefix, char stat) {
    std::vector<std::size_t> out;
    for (std::size_t row : test::fileOrder(t))
        if (t.stat(row) == stat && t.text(row, FieldId::Name).starts_with(namePrefix)) out.push_back(row);
    return out;
}

// GPSBabel prints six decimals of a degree, one of a metre and the
// millisecond; its points without a time are the ones we skip.
void expectGpsbabelPoints(const DataTable& t, const std::vector<std::size_t>& rows, const fs::path& csv) {
    SCOPED_TRACE(csv.filename().string());
    std::vector<test::Record> expected;
    for (test::Record& r : test::readUnicsv(csv.string()))
        if (test::unicsvTimeMs(r)) expected.push_back(std::move(r));
    ASSERT_FALSE(expected.empty());
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t k = 0; k < rows.size(); ++k) {
        SCOPED_TRACE("point " + std::to_string(k + 1));
        const test::Record& gb = expected[k];
        const std::size_t row = rows[k];
        EXPECT_NEAR(t.real(row, FieldId::Lat), std::stod(gb.at("Latitude")), 5e-7);
        EXPECT_NEAR(t.real(row, FieldId::Lon), std::stod(gb.at("Longitude")), 5e-7);
        const auto alt = gb.find("Altitude");
        if (alt != gb.end() && !alt->second.empty()) {
            EXPECT_NEAR(t.real(row, FieldId::Elev) * 0.3048, std::stod(alt->second), 0.05 + 1e-9);
        } else {
            EXPECT_TRUE(t.isNull(row, FieldId::Elev));
        }
        EXPECT_EQ(t.timeMs(row, FieldId::Time), *test::unicsvTimeMs(gb));
        if (t.stat(row) == 'P') {
            EXPECT_EQ(t.text(row, FieldId::Name), gb.at("Name"));
        }
    }
}

}  // namespace

// ride.gpx holds a route, two tracks (the first of two segments) and three
// waypoints, in several zones; GPSBabel rewrote it as GPX 1.1 and 1.0.
TEST(GpxFiles, RideAsWrittenByHandAndByGpsbabel) {
    for (const char* name : {"ride.gpx", "ride.gpsbabel.gpx", "ride.gpsbabel10.gpx"}) {
        SCOPED_TRACE(name);
        DataTable table;
        const Loaded loaded = loadGpx(table, kData / name);
        ASSERT_TRUE(loaded.result.ok()) << loaded.result.message;
        EXPECT_EQ(loaded.stats.pointsWithoutTime, 2u) << "a waypoint and a track point";
        expectGpsbabelPoints(table, rowsWhere(table, "", 'P'), kData / "ride.gpx.gpsbabel-w.csv");
        expectGpsbabelPoints(table, rowsWhere(table, "T01-", 'T'), kData / "ride.gpx.gpsbabel-r.csv");
        std::vector<std::size_t> tracks = rowsWhere(table, "T02-", 'T');
        const std::vector<std::size_t> second = rowsWhere(table, "T03-", 'T');
        EXPECT_EQ(tracks.size(), 6u) << "numbered across both segments";
        tracks.insert(tracks.end(), second.begin(), second.end());
        expectGpsbabelPoints(table, tracks, kData / "ride.gpx.gpsbabel-t.csv");
    }
}

// GPSBabel's GPX 1.0 of our OziExplorer files holds its own reading of them.
TEST(GpxFiles, OziFilesConvertedByGpsbabel) {
    DataTable walk;
    ASSERT_TRUE(loadGpx(walk, kData / "walk.plt.gpx").result.ok());
    expectGpsbabelPoints(walk, rowsWhere(walk, "T01-", 'T'), kData / "walk.plt.gpsbabel.csv");

    DataTable places;
    ASSERT_TRUE(loadGpx(places, kData / "places.wpt.gpx").result.ok());
    expectGpsbabelPoints(places, rowsWhere(places, "", 'P'), kData / "places.wpt.gpsbabel.csv");
}

// loop.plt is GPSBabel's track file of loop.gpx: six decimals of a degree,
// a tenth of a foot and times to 1e-7 day (under 5 ms), which moves a
// photograph's position by far less than 1e-6 degree at walking pace.
TEST(GpxFiles, SameWalkAsGpxAndAsTrackFilePlacesPhotosAlike) {
    DataTable fromGpx, fromPlt;
    // Photographs every 1.7 s from before the walk to after it, and one far off.
    for (DataTable* t : {&fromGpx, &fromPlt}) {
        PointFields photo;
        const int64_t start = *civilToMs(CivilDateTime{2010, 12, 1, 8, 14, 50, 0});
        for (int k = 0; k < 90; ++k) {
            photo.timeMs = start + k * 1700;
            appendPointRow(*t, 'F', "IMG_" + std::to_string(k), photo);
        }
        photo.timeMs = start + 3600 * 1000;
        appendPointRow(*t, 'F', "IMG_late", photo);
    }
    ASSERT_TRUE(loadGpx(fromGpx, kData / "loop.gpx").result.ok());
    uint16_t trackCounter = 0;
    ASSERT_TRUE(TrackReader(fromPlt, trackCounter).load((kData / "loop.plt").string()).ok());
    CalcPositions(fromGpx, BindingParams{});
    CalcPositions(fromPlt, BindingParams{});
    ASSERT_EQ(fromGpx.rowCount(), fromPlt.rowCount());

    int placed = 0;
    const std::vector<std::size_t> a = test::fileOrder(fromGpx), b = test::fileOrder(fromPlt);
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (!fromGpx.isPhoto(a[k])) continue;
        SCOPED_TRACE(std::string(fromGpx.text(a[k], FieldId::Name)));
        const bool hasPosition = fromGpx.real(a[k], FieldId::Lat) != 0;
        ASSERT_EQ(hasPosition, fromPlt.real(b[k], FieldId::Lat) != 0);
        if (!hasPosition) continue;
        ++placed;
        EXPECT_NEAR(fromGpx.real(a[k], FieldId::Lat), fromPlt.real(b[k], FieldId::Lat), 1e-6);
        EXPECT_NEAR(fromGpx.real(a[k], FieldId::Lon), fromPlt.real(b[k], FieldId::Lon), 1e-6);
        // The binding takes the ends' altitudes to the whole foot, and a tenth
        // of a foot can move a value across the half.
        EXPECT_NEAR(fromGpx.real(a[k], FieldId::Elev), fromPlt.real(b[k], FieldId::Elev), 1.0);
    }
    EXPECT_GT(placed, 60);
    EXPECT_LT(placed, 91) << "the photograph an hour later stays unplaced";
}

// Phone photographs as a track: the corpus's photographs with GPS tags, timed
// by their GPS stamps or by their shooting time with the photo offset, the
// folders inside counted only when asked, and never rows to place.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "input/gpsfile.h"
#include "input/gpsreadcall.h"
#include "input/phototrack.h"
#include "input/trackreader.h"
#include "support/tempdir.h"
#include "table/datatable.h"
#include "table/datetime.h"

namespace fs = std::filesystem;
using namespace geovanta;

namespace {

const std::string kImages = std::string(GEOVANTA_SHARED_DIR) + "/corpus/images/";

// Links to the corpus's photographs: read in place, never copied.
void link(const geovanta::test::TempDir& dir, const std::string& name) {
    fs::create_directories(fs::path(dir.file(name)).parent_path());
    fs::create_symlink(kImages + fs::path(name).filename().string(), dir.file(name));
}

}  // namespace

// Expected: `exiftool -n -GPSLatitude -GPSLongitude -GPSAltitude -GPSDateTime -DateTimeOriginal`.
TEST(PhotoTrack, CorpusPhotographsWithGpsTagsMakeATrack) {
    if (!fs::is_directory(kImages)) GTEST_SKIP() << "no corpus at " << kImages;
    geovanta::test::TempDir dir;
    link(dir, "exiftool__Apple.jpg");          // GPS stamps: 2016-09-28 17:17:58.65Z
    link(dir, "mei__Apple_iPhone_4.jpg");      // no GPS time: shot 2011-01-13 14:33:39
    link(dir, "mei__Samsung_GT-I9000_Galaxy_S_.jpg");  // 0, 0: the receiver had no fix
    link(dir, "exiftool__Canon.jpg");          // no GPS directory
    link(dir, "inner/ianare__DSCN0010.jpg");   // GPS stamps: 2008-10-23 14:27:07.24Z
    dir.write("no-exif.jpg", "no EXIF data");  // timed by its file, with no position

    struct Point {
        const char* time;
        double lat, lon;
        std::optional<double> altM;
    };
    const Point inner{"2008-10-23 14:27:07.240", 43.4674483333333, 11.8851266666639, {}};
    const Point phone4{"2011-01-13 11:33:39.000", 41.853, 12.4888333333333, {}};  // three hours west
    const Point apple{"2016-09-28 17:17:58.650", 53.3828472222222, -1.45667777777778, 72.36649215};
    const struct {
        bool subfolders;
        std::vector<Point> points;
    } cases[] = {{false, {phone4, apple}}, {true, {inner, phone4, apple}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.subfolders);
        DataTable table;
        uint16_t tracks = 4;
        GpsRead read(table, dir.path().string(), tracks);
        read.options.photoSubfolders = c.subfolders;
        read.options.photoOffsetDays = -3.0 / 24;
        ASSERT_TRUE(readGpsFile(photoTrackFormat(), read).ok());
        EXPECT_EQ(tracks, 5);
        EXPECT_EQ(read.stats.withoutPosition, 3u);
        EXPECT_TRUE(read.stats.warnings.empty());
        const std::vector<std::size_t> rows = geovanta::test::rowsOfKind(table, 'T');
        ASSERT_EQ(rows.size(), c.points.size());
        ASSERT_EQ(table.rowCount(), rows.size());
        for (std::size_t n = 0; n < rows.size(); ++n) {
            const Point& p = c.points[n];
            const std::size_t k = rows[n];
            SCOPED_TRACE(p.time);
            EXPECT_EQ(table.text(k, FieldId::Name), TrackReader::pointName(5, static_cast<uint32_t>(n + 1)));
            EXPECT_EQ(formatIsoDayTime(table.timeMs(k, FieldId::Time)), p.time);
            EXPECT_NEAR(table.real(k, FieldId::Lat), p.lat, 1e-9);
            EXPECT_NEAR(table.real(k, FieldId::Lon), p.lon, 1e-9);
            const std::optional<double> feet = table.optReal(k, FieldId::Elev);
            ASSERT_EQ(feet.has_value(), p.altM.has_value());
            if (p.altM) {
                EXPECT_NEAR(*feet * 0.3048, *p.altM, 0.01);
            }
        }
    }
}

TEST(PhotoTrack, AFolderThatIsNotThereFails) {
    DataTable table;
    uint16_t tracks = 0;
    GpsRead read(table, "/nonexistent/photos", tracks);
    EXPECT_EQ(readGpsFile(photoTrackFormat(), read).status, LoadResult::Status::Failed);
    EXPECT_EQ(tracks, 0);
}

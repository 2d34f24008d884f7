#include "input/fileformats.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "support/tempdir.h"

namespace geovanta {
namespace {

std::string gzipped(const std::string& text) {
    std::string out(compressBound(text.size()) + 64, '\0');
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, 16 + 15, 8, Z_DEFAULT_STRATEGY);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = static_cast<uInt>(text.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// A file's format: its extension in any case, ".gz" after it, and for the
// extensions other programs use too, what the file holds, compressed or not.
TEST(FileFormats, TheFormatOfAFile) {
    test::TempDir dir;
    const std::string nmea = "$GPRMC,120010,A,5545.0000,N,03736.0000,E,0.0,0.0,011210,,,A*71\r\n"
                             "$GPGGA,120010,5545.0000,N,03736.0000,E,1,08,1.0,150.0,M,14.0,M,,*48\r\n";
    const std::string history = R"({"locations": [{"latitudeE7": 1, "longitudeE7": 2, "timestamp": "2010-12-01T12:00:00Z"}]})";
    const struct {
        std::string name, bytes;
        const char* format;  // nullptr: no GPS file
    } cases[] = {
        {"walk.PLT", "", "plt"},
        {"walk.gpx.gz", "", "gpx"},
        {"ride.Fit.GZ", "", "fit"},
        {"receiver.log", nmea, "nmea"},
        {"receiver.txt.gz", gzipped(nmea), "nmea"},
        {"notes.txt", "a shopping list\n", nullptr},
        {"Records.json", history, "locationhistory"},
        {"Records.json.gz", gzipped(history), "locationhistory"},
        {"package.json", R"({"name": "x"})", nullptr},
        {"IMG_0001.JPG", "", nullptr},
        {"archive.gz", "", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FileFormat* f = gpsFormatOf(dir.write(c.name, c.bytes));
        EXPECT_EQ(f ? std::string(f->id) : "", c.format ? c.format : "");
    }
    EXPECT_TRUE(isPhotoName("IMG_0001.JPG"));
    EXPECT_TRUE(isPhotoName("dsc.nef"));
    EXPECT_FALSE(isPhotoName("IMG_0001.JPG.gz"));
    EXPECT_FALSE(isPhotoName("walk.gpx"));
    // The dialog's entry of a format shows its compressed files too.
    EXPECT_EQ(formatOfFilter(filterIndexFor("walk.gpx.gz"))->id, "gpx");
    EXPECT_EQ(filterIndexFor("receiver.log"), allGpsFilterIndex());
    EXPECT_EQ(formatOfFilter(allGpsFilterIndex()), nullptr);
}

}  // namespace
}  // namespace geovanta

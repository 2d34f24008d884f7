// geovanta-cli on track and waypoint files: the real binary, as a script would run it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "input/exiffixtures.h"
#include "input/gpsreadcall.h"
#include "input/ozifileheaders.h"
#include "input/zipfixtures.h"
#include "support/runcli.h"

namespace {

using geovanta::test::CliResult;

const std::string kData(GEOVANTA_TEST_DATA);

CliResult cli(const std::string& folder, const std::string& args) { return geovanta::test::runCli(args, folder); }

constexpr const char* kTrack =
    "OziExplorer Track Point File Version 2.1\r\nWGS 84\r\nAltitude is in Feet\r\nReserved 3\r\n"
    "0,2,255,Walk,0,0,2,8421376\r\n2\r\n"
    "  55.7500000,  37.6000000,1, 1000.0,40513.5000000,01-Dec-10, 12:00:00\r\n"
    "  55.7510000,  37.6000000,0,-777.0,40513.5006944,01-Dec-10, 12:01:00\r\n";
// One waypoint named "Кремль" in Windows-1251, between the two track points.
constexpr const char* kPoints =
    "OziExplorer Waypoint File Version 1.1\r\nWGS 84\r\nReserved 2\r\nReserved 3\r\n"
    "1,\xCA\xF0\xE5\xEC\xEB\xFC,55.7505,37.6,40513.5003472,0,1,3,0,65535,,0,0,0,-777,6,0,17\r\n";

}  // namespace

TEST(CliGpsFiles, TrackAndWaypointsMakeOneBoundTable) {
    geovanta::test::TempDir dir;
    dir.write("track.plt", kTrack);
    dir.write("POINTS.WPT", kPoints);
    const CliResult r = cli(dir.folder(), "track.plt POINTS.WPT");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "Stat,Name,Time,Lat,Lon,Elev,Dist,Speed,VTime,FileName,Type,VLat,VLon,VElev,Camera\r\n"
              "T,T01-0001,2010-12-01 12:00:00.000,55.75,37.6,1000,0,0,2010-12-01 12:00:00.000,,Трек,"
              "55 45.0000 N,37 36.0000 E,304,\r\n"
              "P,Кремль,2010-12-01 12:00:29.998,55.7505,37.6,0,55.598500000265474,6.6722648176863695,"
              "2010-12-01 12:00:29.998,,Точка,55 45.0300 N,37 36.0000 E,0,\r\n"
              "T,T01-0002,2010-12-01 12:00:59.996,55.751,37.6,-777,55.59849999947537,6.672264817591551,"
              "2010-12-01 12:00:59.996,,Трек,55 45.0600 N,37 36.0000 E,,\r\n");
}

TEST(CliGpsFiles, RejectedAndBrokenFilesFail) {
    geovanta::test::TempDir dir;
    dir.write("waypoints.plt", kPoints);
    const CliResult rejected = cli(dir.folder(), "waypoints.plt");
    EXPECT_EQ(rejected.status, 1);
    EXPECT_EQ(rejected.out, "geovanta-cli: The file is not an OziExplorer track!\n");

    dir.write("broken.plt", std::string(kTrack) + "55.7,37.6,0,abc,40513.6\r\n");
    const CliResult broken = cli(dir.folder(), "broken.plt");
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.out, "geovanta-cli: 'abc' is not a valid floating point value for field 'Elev'\nbroken.plt, line 9\n");
}

TEST(CliGpsFiles, GpxInAnyCaseWithSkippedPointsCounted) {
    geovanta::test::TempDir dir;
    dir.write("RIDE.Gpx",
              "<?xml version=\"1.0\"?><gpx version=\"1.1\" creator=\"t\"><trk><trkseg>"
              "<trkpt lat=\"55.75\" lon=\"37.6\"><ele>100</ele><time>2010-12-01T15:00:00+03:00</time></trkpt>"
              "<trkpt lat=\"55.76\" lon=\"37.6\"/></trkseg></trk></gpx>");
    const CliResult r = cli(dir.folder(), "RIDE.Gpx");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "geovanta-cli: Points without a time left out: 1 (RIDE.Gpx)\n"
              "Stat,Name,Time,Lat,Lon,Elev,Dist,Speed,VTime,FileName,Type,VLat,VLon,VElev,Camera\r\n"
              "T,T01-0001,2010-12-01 12:00:00.000,55.75,37.6,328.0839895013124,0,0,2010-12-01 12:00:00.000,,Трек,"
              "55 45.0000 N,37 36.0000 E,100,\r\n");
}

// A KMZ archive is read whether its name says .kmz or .kml.
TEST(CliGpsFiles, TcxAndKmzFiles) {
    geovanta::test::TempDir dir;
    dir.write("run.TCX",
              "<TrainingCenterDatabase><Activities><Activity><Lap><Track><Trackpoint><Time>2010-12-01T15:00:00+03:00"
              "</Time><Position><LatitudeDegrees>55.75</LatitudeDegrees><LongitudeDegrees>37.6</LongitudeDegrees>"
              "</Position><AltitudeMeters>100</AltitudeMeters></Trackpoint><Trackpoint><Time>2010-12-01T12:00:30Z"
              "</Time></Trackpoint></Track></Lap></Activity></Activities></TrainingCenterDatabase>");
    const CliResult tcx = cli(dir.folder(), "run.TCX");
    EXPECT_EQ(tcx.status, 0);
    EXPECT_EQ(tcx.out,
              "geovanta-cli: Points without a position left out: 1 (run.TCX)\n"
              "Stat,Name,Time,Lat,Lon,Elev,Dist,Speed,VTime,FileName,Type,VLat,VLon,VElev,Camera\r\n"
              "T,T01-0001,2010-12-01 12:00:00.000,55.75,37.6,328.0839895013124,0,0,2010-12-01 12:00:00.000,,Трек,"
              "55 45.0000 N,37 36.0000 E,100,\r\n");

    const std::string kmz = geovanta::test::zipOf({{"doc.kml", geovanta::test::fileBytes(kData + "/ride.kml")}});
    dir.write("ride.kmz", kmz);
    dir.write("zipped.kml", kmz);
    for (const char* name : {"ride.kmz", "zipped.kml"}) {
        const CliResult r = cli(dir.folder(), name);
        EXPECT_EQ(r.status, 0);
        EXPECT_TRUE(r.out.starts_with("geovanta-cli: Points without a time left out: 15 (" + std::string(name) + ")\n"))
            << r.out;
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1 + 1 + 11);
    }
}

// Under a small address-space limit (as a 32-bit system or a container
// gives): a file of zeros claims no memory for rows it cannot hold, and a load
// that does run out of memory ends with its message, never an abort.
TEST(CliGpsFiles, MemoryRunsOutWithAMessage) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer's shadow memory alone exceeds the limit";
#endif
    geovanta::test::TempDir dir;
    const std::string limit = "prlimit --as=" + std::to_string(160u << 20);
    {
        std::ofstream zeros(dir.file("zeros.plt"), std::ios::binary);
        zeros << kTrack << std::string(64u << 20, '\0');
    }
    const CliResult nul = geovanta::test::runCli("zeros.plt", dir.folder(), limit);
    EXPECT_EQ(nul.status, 1);
    EXPECT_EQ(nul.out, "geovanta-cli: A data line holds a NUL byte: the file is damaged\nzeros.plt, line 9\n");
    std::filesystem::remove(dir.file("zeros.plt"));

    {
        std::ofstream many(dir.file("many.plt"), std::ios::binary);
        many << kTrack;
        const std::string line = "55.7,37.6,0,100,40513.5\r\n";
        for (std::size_t bytes = 0; bytes < (48u << 20); bytes += line.size()) many << line;
    }
    const CliResult big = geovanta::test::runCli("many.plt", dir.folder(), limit);
    EXPECT_EQ(big.status, 1);
    EXPECT_EQ(big.out, "geovanta-cli: Not enough memory to load many.plt\n");
}

TEST(CliGpsFiles, AFileOrFolderGivenTwiceIsReadOnce) {
    geovanta::test::TempDir dir;
    dir.write("track.plt", kTrack);
    std::filesystem::create_directory(dir.folder() + "photos");
    const geovanta::test::Bytes jpeg = geovanta::test::JpegBuilder().app0().startOfScan().build();
    dir.write("photos/a.jpg", std::string(jpeg.begin(), jpeg.end()));
    const CliResult once = cli(dir.folder(), "track.plt photos");
    const CliResult twice = cli(dir.folder(), "track.plt photos ./track.plt " + dir.folder() + "photos photos/");
    EXPECT_EQ(twice.status, once.status);
    // The same rows, the track numbered anew by its second read; a
    // photograph keeps its row and takes the name it was given last.
    std::string expected = once.out;
    for (std::size_t at; (at = expected.find("T01-")) != std::string::npos;) expected.replace(at, 4, "T02-");
    EXPECT_EQ(twice.out, expected);
}

// A .json file is taken as a location history by its content; fixes less
// accurate than --max-accuracy are left out and counted.
TEST(CliGpsFiles, LocationHistoryWithAccuracyLimit) {
    geovanta::test::TempDir dir;
    dir.write("Records.json", R"({"locations": [
  {"timestampMs": "1291204800000", "latitudeE7": 557500000, "longitudeE7": 376000000, "accuracy": 20, "altitude": 150},
  {"timestampMs": "1291204860000", "latitudeE7": 557510000, "longitudeE7": 376000000, "accuracy": 70}
]})");
    dir.write("other.json", R"({"type": "FeatureCollection", "features": []})");
    const CliResult r = cli(dir.folder(), "--max-accuracy 50 Records.json");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("T,T01-0001,2010-12-01 12:00:00.000,55.75,37.6,492.12598425196853,"), std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("T01-0002"), std::string::npos);
    EXPECT_NE(r.out.find("Points less accurate than the limit left out: 1 (Records.json)"), std::string::npos);
    EXPECT_EQ(cli(dir.folder(), "other.json").status, 1);
}

// A receiver's log under a name of its own, told by its sentences, and a
// flight log: both bound into one table, the void fix counted.
TEST(CliGpsFiles, NmeaLogByContentAndIgcFlight) {
    geovanta::test::TempDir dir;
    dir.write("receiver.log",
              "$GPRMC,120000,V,,,,,,,011210,,,N*53\r\n"
              "$GPRMC,120010,A,5545.0000,N,03736.0000,E,0.0,0.0,011210,,,A*71\r\n"
              "$GPGGA,120010,5545.0000,N,03736.0000,E,1,08,1.0,150.0,M,14.0,M,,*48\r\n");
    dir.write("flight.igc", "AXXX001\r\nHFDTE011210\r\nB1200205545060N03736000EA0014000152\r\n");
    const CliResult r = cli(dir.folder(), "receiver.log flight.igc");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "geovanta-cli: Points the receiver marked as no fix left out: 1 (receiver.log)\n"
              "Stat,Name,Time,Lat,Lon,Elev,Dist,Speed,VTime,FileName,Type,VLat,VLon,VElev,Camera\r\n"
              "T,T01-0001,2010-12-01 12:00:10.000,55.75,37.6,492.12598425196853,0,0,2010-12-01 12:00:10.000,,Трек,"
              "55 45.0000 N,37 36.0000 E,150,\r\n"
              "T,T02-0001,2010-12-01 12:00:20.000,55.751,37.6,498.68766404199476,111.19699999974085,40.03091999990671,"
              "2010-12-01 12:00:20.000,,Трек,55 45.0600 N,37 36.0000 E,152,\r\n");
}

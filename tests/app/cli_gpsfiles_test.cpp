// geovanta-cli on track and waypoint files: the real binary, as a script would run it.
#include <gtest/gtest.h>

#include <string>

#include "input/ozifileheaders.h"
#include "support/runcli.h"

namespace {

using geovanta::test::CliResult;

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
              "Stat,Name,Time,Lat,Lon,Elev,Dist,Speed,VTime,FileName,Type,VLat,VLon,VElev\r\n"
              "T,T01-0001,2010-12-01 12:00:00.000,55.75,37.6,1000,0,0,2010-12-01 12:00:00.000,,Трек,"
              "55 45.0000 N,37 36.0000 E,304\r\n"
              "P,Кремль,2010-12-01 12:00:29.998,55.7505,37.6,0,55.598500000265474,6.6722648176863695,"
              "2010-12-01 12:00:29.998,,Точка,55 45.0300 N,37 36.0000 E,0\r\n"
              "T,T01-0002,2010-12-01 12:00:59.996,55.751,37.6,-777,55.59849999947537,6.672264817591551,"
              "2010-12-01 12:00:59.996,,Трек,55 45.0600 N,37 36.0000 E,-236\r\n");
}

TEST(CliGpsFiles, RejectedAndBrokenFilesFail) {
    geovanta::test::TempDir dir;
    dir.write("waypoints.plt", kPoints);
    const CliResult rejected = cli(dir.folder(), "waypoints.plt");
    EXPECT_EQ(rejected.status, 1);
    EXPECT_EQ(rejected.out, "geovanta-cli: Файл не является треком OziExplorer!\n");

    dir.write("broken.plt", std::string(kTrack) + "55.7,37.6,0,abc,40513.6\r\n");
    const CliResult broken = cli(dir.folder(), "broken.plt");
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.out, "geovanta-cli: 'abc' is not a valid floating point value for field 'Elev'\nbroken.plt, line 9\n");
}

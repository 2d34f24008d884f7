// geovanta-cli on a FIT file: found by its extension in any case, read, its
// warnings said with the file's name.
#include <gtest/gtest.h>

#include <string>

#include "input/fitbuilder.h"
#include "support/runcli.h"
#include "support/tempdir.h"

using namespace geovanta::test;

TEST(CliFit, RideWithAWrongChecksum) {
    FitBuilder b;
    b.define(0, 20, {{253, 4, kUint32}, {0, 4, kSint32}, {1, 4, kSint32}, {2, 2, kUint16}});
    b.message(0, {fitSeconds(1291204800), semicircles(55.75), semicircles(37.6), fitAltitude(100)});
    std::string file = b.file();
    file.back() ^= 1;
    TempDir dir;
    dir.write("RIDE.Fit", file);
    const CliResult r = runCli("RIDE.Fit", dir.folder());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "geovanta-cli: The FIT file's checksum at byte " + std::to_string(file.size() - 2) +
                  " is wrong: the file may be damaged (RIDE.Fit)\n"
                  "Stat,Name,Time,Lat,Lon,Elev,Dist,Speed,VTime,FileName,Type,VLat,VLon,VElev,Camera\r\n"
                  "T,T01-0001,2010-12-01 12:00:00.000,55.75000002980232,37.5999999884516,328.0839895013124,0,0,2010-12-01 12:00:00.000,,Трек,"
                  "55 45.0000 N,37 36.0000 E,100,\r\n");
}

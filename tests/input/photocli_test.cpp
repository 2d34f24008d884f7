// geovanta-cli with a photo folder as input.
#include <gtest/gtest.h>

#include <string>

#include "input/exiffixtures.h"
#include "support/runcli.h"

using namespace geovanta::test;

namespace {

std::string runCli(const std::string& args, int& status) {
    const CliResult r = geovanta::test::runCli(args);
    status = r.status;
    return r.out;
}

Bytes jpegWithDate(const std::string& dateTime) {
    TiffBuilder t(true);
    t.ascii(TiffBuilder::Exif, 0x9003, dateTime);
    return JpegBuilder().app0().exif(t.build()).startOfScan().build();
}

}  // namespace

TEST(PhotoCli, ScansAFolderGivenAsInput) {
    TempDir dir;
    dir.write("IMG_0002.JPG", jpegWithDate("2010:12:01 11:20:00"));
    dir.write("IMG_0001.jpg", jpegWithDate("2010:12:01 11:15:00"));
    dir.write("notes.txt", textBytes("x"));
    int status = -1;
    const std::string out = runCli("'" + dir.path().string() + "'", status);
    EXPECT_EQ(status, 0) << out;
    const std::string folder = dir.folder();
    const std::string table =
        "Stat,Name,Time,Lat,Lon,Elev,Dist,Speed,VTime,FileName,Type,VLat,VLon,VElev,Camera\r\n"
        "F,IMG_0001,2010-12-01 11:15:00.000,,,,,,2010-12-01 11:15:00.000," + folder + "IMG_0001.jpg,Фото,,,,\r\n"
        "F,IMG_0002,2010-12-01 11:20:00.000,,,,,,2010-12-01 11:20:00.000," + folder + "IMG_0002.JPG,Фото,,,,\r\n";
    // After the table, on standard error: the summary and why each photograph stays unplaced.
    const std::string summary =
        "geovanta-cli: 0 points, 2 photos: placed 0, not placed 2 (no track loaded), from file date 0; "
        "track offset 0:00, photo offset 0:00, tolerance 300 s\n"
        "geovanta-cli: " + folder + "IMG_0001.jpg: not placed: no track loaded\n"
        "geovanta-cli: " + folder + "IMG_0002.JPG: not placed: no track loaded\n";
    EXPECT_EQ(out, table + summary);

    // Damaged photographs do not hide the others: the table holds every good
    // one, each damaged one is named, and the status says something was left out.
    Bytes cutInDate = jpegWithDate("2010:12:01 11:15:00");
    cutInDate.erase(cutInDate.end() - 20, cutInDate.end());
    const std::string bad = dir.write("bad.jpg", cutInDate);
    const std::string cut = dir.write("cut.jpg", Bytes{0xFF, 0xD8, 0xFF});
    const std::string failed = runCli("'" + dir.path().string() + "'", status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(failed.rfind(table, 0), 0u) << failed;
    EXPECT_NE(failed.find("geovanta-cli: " + bad + ": Read beyond end of file\n"), std::string::npos) << failed;
    EXPECT_NE(failed.find("geovanta-cli: " + cut + ": Read beyond end of file\n"), std::string::npos) << failed;
    EXPECT_NE(failed.find(summary), std::string::npos) << failed;

    // A date that is no date: loaded by the file's date, and the line says why.
    TempDir other;
    const std::string feb30 = other.write("feb30.jpg", jpegWithDate("2021:02:30 10:00:00"));
    const std::string out30 = runCli("'" + other.path().string() + "'", status);
    EXPECT_EQ(status, 0) << out30;
    EXPECT_NE(out30.find("geovanta-cli: " + feb30 +
                         ": not placed: no track loaded; time from the JPEG file's date: EXIF date is not a date: "
                         "2021:02:30 10:00:00\n"),
              std::string::npos)
        << out30;
}

TEST(PhotoCli, ReadsSubfoldersWhenAsked) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "day2");
    dir.write("day2/IMG_0002.JPG", jpegWithDate("2010:12:02 11:20:00"));
    dir.write("IMG_0001.jpg", jpegWithDate("2010:12:01 11:15:00"));
    int status = -1;
    const std::string flat = runCli("'" + dir.path().string() + "'", status);
    EXPECT_EQ(flat.find("IMG_0002"), std::string::npos) << flat;
    const std::string deep = runCli("--recursive '" + dir.path().string() + "'", status);
    EXPECT_EQ(status, 0) << deep;
    EXPECT_NE(deep.find("F,IMG_0002,2010-12-02 11:20:00.000,,,,,,2010-12-02 11:20:00.000," + dir.folder() +
                        "day2/IMG_0002.JPG,"),
              std::string::npos)
        << deep;
}

TEST(PhotoCli, PlacesThePhotographsOnATrackGivenFirst) {
    TempDir dir;
    dir.write("track.plt", textBytes("OziExplorer Track Point File Version 2.1\r\nWGS 84\r\nAltitude is in Feet\r\n"
                                     "Reserved 3\r\n0,2,255,Walk,0,0,2,8421376\r\n2\r\n"
                                     "55.0,37.0,1,100,40513.46875,,\r\n"        // 11:15:00
                                     "55.1,37.2,0,140,40513.4699074074,,\r\n"));  // 11:16:40
    std::filesystem::create_directory(dir.path() / "photos");
    dir.write("photos/IMG_0001.JPG", jpegWithDate("2010:12:01 11:15:25"));
    dir.write("photos/IMG_0002.JPG", jpegWithDate("2010:12:01 12:00:00"));
    int status = -1;
    const std::string out = runCli("'" + dir.folder() + "track.plt' '" + dir.folder() + "photos'", status);
    EXPECT_EQ(status, 0) << out;
    // 25 s into a 100 s leg: a quarter of the way, 110 ft.
    EXPECT_NE(out.find("F,IMG_0001,2010-12-01 11:15:25.000,55.025,37.05,110,"), std::string::npos) << out;
    EXPECT_NE(out.find("F,IMG_0002,2010-12-01 12:00:00.000,,,,"), std::string::npos) << out;
    EXPECT_NE(out.find("geovanta-cli: 2 points, 2 photos: placed 1, not placed 1 (before the track 0, after it 1, "
                       "in gaps 0), from file date 0; track offset 0:00, photo offset 0:00, tolerance 300 s\n"
                       "geovanta-cli: " + dir.folder() + "photos/IMG_0002.JPG: not placed: after the last point by "
                       "2600 s (0:43:20)\n"),
              std::string::npos)
        << out;
}

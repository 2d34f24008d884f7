// The example walk shipped in examples/: what a new user sees first must come
// out as its script promises, whatever changes in the readers or the pass.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/runcli.h"

namespace {

const std::string kExamples = std::string(GEOVANTA_TEST_DATA) + "/../../examples";

std::vector<std::string> splitCsvLine(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, ',')) fields.push_back(field);
    if (!line.empty() && line.back() == ',') fields.emplace_back();
    return fields;
}

struct Rows {
    std::map<std::string, bool> photoPlaced;  // name → has a latitude
    std::map<std::string, std::pair<double, double>> photoPosition;  // of the placed ones
    std::vector<std::string> waypointNames;
    int trackPoints = 0;
};

Rows readTable(const std::string& csv) {
    Rows rows;
    std::istringstream in(csv);
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto f = splitCsvLine(line);
        if (f.size() < 4) continue;
        if (f[0] == "F") rows.photoPlaced[f[1]] = !f[3].empty();
        if (f[0] == "F" && !f[3].empty()) rows.photoPosition[f[1]] = {std::stod(f[3]), std::stod(f[4])};
        if (f[0] == "P") rows.waypointNames.push_back(f[1]);
        if (f[0] == "T") ++rows.trackPoints;
    }
    return rows;
}

void expectPlacedPattern(const Rows& rows) {
    ASSERT_EQ(rows.photoPlaced.size(), 10u);
    for (const auto& [name, placed] : rows.photoPlaced) {
        // 0001 was taken before the walk, 0008 in the track's 14-minute gap.
        const bool expected = name != "IMG_0001" && name != "IMG_0008";
        EXPECT_EQ(placed, expected) << name;
    }
}

}  // namespace

// The walk as an OziExplorer track, as GPX, and as the FIT file a watch
// would give, compressed: each places the photographs alike.
TEST(Examples, TrackAndPhotosPlaceAllButTheTwoMeantToStayOut) {
    const auto gpx = geovanta::test::runCli("walk.gpx photos", kExamples);
    ASSERT_EQ(gpx.status, 0) << gpx.out;
    const Rows fromGpx = readTable(gpx.out);
    for (const char* track : {"walk.plt", "walk.gpx", "walk.fit.gz"}) {
        SCOPED_TRACE(track);
        const auto r = geovanta::test::runCli(std::string(track) + " photos", kExamples);
        ASSERT_EQ(r.status, 0) << r.out;
        const Rows rows = readTable(r.out);
        EXPECT_EQ(rows.trackPoints, 76);
        expectPlacedPattern(rows);
        for (const auto& [name, position] : rows.photoPosition) {
            EXPECT_NEAR(position.first, fromGpx.photoPosition.at(name).first, 1e-6) << name;
            EXPECT_NEAR(position.second, fromGpx.photoPosition.at(name).second, 1e-6) << name;
        }
    }
}

TEST(Examples, WaypointsJoinTheTrackWithoutClosingTheGap) {
    const auto r = geovanta::test::runCli("walk.plt walk.wpt photos", kExamples);
    ASSERT_EQ(r.status, 0) << r.out;
    const Rows rows = readTable(r.out);
    expectPlacedPattern(rows);
    // Stored in Windows-1251 as OziExplorer would, shown as Cyrillic.
    const std::vector<std::string> names = {"Хадльгримскиркья", "Лайкьярторг", "Ратуша", "Харпа",
                                            "Солнечный странник"};
    EXPECT_EQ(rows.waypointNames, names);
}

// IMG_0008 was taken inside the concert hall, where the receiver lost the
// sky: placed by hand there, it takes the hall's elevation and is counted so.
TEST(Examples, ThePhotographInTheHallPlacedByHand) {
    const auto r = geovanta::test::runCli("walk.plt walk.wpt photos --place IMG_0008.JPG=64.15005,-21.93335", kExamples);
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("\nF,IMG_0008,2023-09-16 10:35:30.000,64.15005,-21.93335,13.1,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("placed 9 (by hand 1), not placed 1"), std::string::npos);
    EXPECT_EQ(r.out.find("IMG_0008.JPG: not placed"), std::string::npos);

    const struct {
        const char* place;
        const char* error;
    } refused[] = {
        {"NOPE=64.1,-21.9", "no photograph named 'NOPE' to place"},
        {"IMG_0008=95,-21.9", "'95,-21.9' given to place 'IMG_0008' is not a latitude"},
        {"IMG_0008=64.1", "'64.1' given to place 'IMG_0008'"},
        {"IMG_0008", "'--place IMG_0008' is not NAME=LAT,LON"},
    };
    for (const auto& c : refused) {
        const auto bad = geovanta::test::runCli(std::string("photos --place '") + c.place + "'", kExamples);
        EXPECT_EQ(bad.status, 1) << c.place;
        EXPECT_NE(bad.out.find(c.error), std::string::npos) << bad.out;
    }
}

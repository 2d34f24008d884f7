// The example walk shipped in examples/: what a new user sees first must come
// out as its script promises, whatever changes in the readers or the pass.
#include <gtest/gtest.h>

#include <cstdio>
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

// With place names, every placed photograph of the walk is in Reykjavík,
// Iceland; the two left unplaced have no place.
TEST(Examples, PlaceNamesOfTheWalk) {
    const auto r = geovanta::test::runCli("--places walk.gpx photos", kExamples);
    ASSERT_EQ(r.status, 0) << r.out;
    std::istringstream in(r.out);
    std::string line;
    int named = 0, unnamed = 0;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        auto f = splitCsvLine(line);
        if (f.empty() || f[0] != "F") continue;
        ASSERT_GE(f.size(), 4u);
        for (std::string& field : f)
            if (field.size() >= 2 && field.front() == '"') field = field.substr(1, field.size() - 2);
        const std::string place = f[f.size() - 4] + ", " + f[f.size() - 2] + " (" + f.back() + ")";
        if (f[3].empty()) {
            EXPECT_EQ(place, ",  ()") << line;
            ++unnamed;
        } else {
            EXPECT_EQ(place, "Reykjavík, Iceland (IS)") << line;
            ++named;
        }
    }
    EXPECT_EQ(named, 8);
    EXPECT_EQ(unnamed, 2);
}

// A privacy zone around one photograph of the walk: it is not placed, has
// no position in the table, and the summary counts it with its zone named.
TEST(Examples, PrivacyZoneKeepsAPhotographUnplaced) {
    const auto plain = geovanta::test::runCli("walk.gpx photos", kExamples);
    const auto home = readTable(plain.out).photoPosition.at("IMG_0004");
    char zone[96];
    std::snprintf(zone, sizeof zone, "%.6f,%.6f,15,Home", home.first, home.second);
    const auto r = geovanta::test::runCli("--privacy " + std::string(zone) + " walk.gpx photos", kExamples);
    ASSERT_EQ(r.status, 0) << r.out;
    const Rows rows = readTable(r.out);
    EXPECT_FALSE(rows.photoPlaced.at("IMG_0004"));
    EXPECT_TRUE(rows.photoPlaced.at("IMG_0003"));
    EXPECT_NE(r.out.find("in gaps 1, in privacy zones 1)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("IMG_0004.JPG: not placed: in the privacy zone “Home”"), std::string::npos) << r.out;
}

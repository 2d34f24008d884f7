// Files written by other programs, checked against GPSBabel's own reading of
// them (its unicsv output): our fixtures in tests/data and, when present, the
// shared corpus of files from other projects.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "input/trackreader.h"
#include "input/waypointreader.h"
#include "table/datatable.h"
#include "table/datetime.h"
#include "unicsv.h"

using namespace geovanta;
namespace fs = std::filesystem;

namespace {

using test::fileOrder;
using test::Record;

// GPSBabel writes six decimals of a degree and one of a metre, and whole
// seconds of a time that are right (its milliseconds are not).
void expectSamePoint(const DataTable& t, std::size_t row, const Record& gb, bool waypoint, const std::string& where) {
    SCOPED_TRACE(where);
    EXPECT_NEAR(t.real(row, FieldId::Lat), std::stod(gb.at("Latitude")), 6e-7);
    EXPECT_NEAR(t.real(row, FieldId::Lon), std::stod(gb.at("Longitude")), 6e-7);
    const auto alt = gb.find("Altitude");
    if (alt != gb.end() && !alt->second.empty()) {
        EXPECT_NEAR(t.real(row, FieldId::Elev) * 0.3048, std::stod(alt->second), 0.05 + 1e-9);
    } else if (!t.isNull(row, FieldId::Elev)) {
        // GPSBabel drops the no-altitude mark: tracks keep -777 feet, waypoints read 0.
        EXPECT_EQ(t.real(row, FieldId::Elev), waypoint ? 0.0 : -777.0);
    }
    if (const std::optional<int64_t> gbTime = test::unicsvTimeMs(gb)) {
        const int64_t whole = *gbTime / 1000 * 1000;
        const int64_t ours = t.timeMs(row, FieldId::Time);
        EXPECT_GE(ours, whole - 1);
        EXPECT_LE(ours, whole + 1000);
    } else {
        // GPSBabel takes day 25569 (1970-01-01) for "no time".
        EXPECT_EQ(t.timeMs(row, FieldId::Time), 25569 * kMsPerDay);
    }
    if (waypoint) {
        EXPECT_EQ(t.displayText(row, FieldId::Name), gb.at("Name"));
    }
}

bool isWaypointFile(const fs::path& p) {
    std::string ext = p.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".wpt";
}

// Loads a file and compares every point with GPSBabel's reading of it.
void checkAgainstGpsbabel(const fs::path& file, const fs::path& expected) {
    SCOPED_TRACE(file.string());
    DataTable table;
    uint16_t trackCounter = 0;
    const bool waypoint = isWaypointFile(file);
    const LoadResult r = waypoint ? WaypointReader(table).load(file.string())
                                  : TrackReader(table, trackCounter).load(file.string());
    const std::vector<Record> gb = test::readUnicsv(expected.string());
    ASSERT_FALSE(gb.empty());
    if (!r.ok()) {
        // The only files we refuse are waypoint lists whose first point has
        // no time at all; a time is required for the binding.
        EXPECT_TRUE(waypoint);
        EXPECT_EQ(r.message.substr(0, r.message.find('\n')), "'' is not a valid floating point value");
        EXPECT_EQ(gb.front().count("Time"), 0u);
        EXPECT_TRUE(table.isEmpty());
        return;
    }
    const std::vector<std::size_t> rows = fileOrder(table);
    ASSERT_EQ(rows.size(), gb.size());
    for (std::size_t k = 0; k < rows.size(); ++k)
        expectSamePoint(table, rows[k], gb[k], waypoint, "point " + std::to_string(k + 1));
}

}  // namespace

TEST(OziFiles, WrittenByGpsbabel) {
    const fs::path data(GEOVANTA_TEST_DATA);
    checkAgainstGpsbabel(data / "walk.plt", data / "walk.plt.gpsbabel.csv");
    checkAgainstGpsbabel(data / "places.wpt", data / "places.wpt.gpsbabel.csv");

    DataTable table;
    ASSERT_TRUE(WaypointReader(table).load((data / "places.wpt").string()).ok());
    const auto kremlin = fileOrder(table).front();
    EXPECT_EQ(table.text(kremlin, FieldId::Name), "\xCA\xF0\xE5\xEC\xEB\xFC") << "stored as written";
    EXPECT_EQ(table.displayText(kremlin, FieldId::Name), "Кремль");
}

TEST(OziFiles, SharedCorpus) {
    const fs::path corpus = fs::path(GEOVANTA_SHARED_DIR) / "corpus";
    std::error_code ec;
    if (!fs::is_directory(corpus / "ozi", ec)) GTEST_SKIP() << "no corpus at " << corpus;
    int checked = 0;
    for (const auto& entry : fs::directory_iterator(corpus / "ozi")) {
        const fs::path expected = corpus / "expected" / (entry.path().filename().string() + ".gpsbabel.csv");
        if (!fs::exists(expected)) continue;
        checkAgainstGpsbabel(entry.path(), expected);
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

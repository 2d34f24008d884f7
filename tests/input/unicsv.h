#pragma once
// GPSBabel's unicsv output, the yardstick the reader tests compare with, and
// the table's rows in the order a file gave them.

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <numeric>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "table/datatable.h"
#include "table/datetime.h"

namespace geovanta::test {

using Record = std::map<std::string, std::string>;

inline std::vector<std::string> splitCsvLine(const std::string& line) {
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                cells.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                cells.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            cells.emplace_back();
        } else if (c != '\r') {
            cells.back() += c;
        }
    }
    return cells;
}

// A header line naming the columns, one point a line.
inline std::vector<Record> readUnicsv(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    std::vector<Record> out;
    if (!std::getline(in, line)) return out;
    const std::vector<std::string> columns = splitCsvLine(line);
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        const std::vector<std::string> cells = splitCsvLine(line);
        Record r;
        for (std::size_t k = 0; k < columns.size() && k < cells.size(); ++k) r[columns[k]] = cells[k];
        out.push_back(std::move(r));
    }
    return out;
}

// "Date" (yyyy/mm/dd) and "Time" (hh:mm:ss[.zzz]) as milliseconds since
// 1899-12-30; nothing when the point has no date.
inline std::optional<int64_t> unicsvTimeMs(const Record& r) {
    const auto date = r.find("Date");
    if (date == r.end() || date->second.empty()) return std::nullopt;
    CivilDateTime c;
    char sep;
    std::istringstream d(date->second), tm(r.at("Time"));
    d >> c.year >> sep >> c.month >> sep >> c.day;
    tm >> c.hour >> sep >> c.minute >> sep >> c.second;
    if (tm.peek() == '.') {
        std::string digits;
        tm.get();
        tm >> digits;
        c.millisecond = std::stoi((digits + "00").substr(0, 3));
    }
    return civilToMs(c);
}

// The rows against GPSBabel's points, which give six decimals of a degree,
// one of a metre and the millisecond, and a waypoint's name when it has one.
inline void expectUnicsvPoints(const DataTable& t, const std::vector<std::size_t>& rows,
                               const std::vector<Record>& expected) {
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t k = 0; k < rows.size(); ++k) {
        SCOPED_TRACE("point " + std::to_string(k + 1));
        const Record& gb = expected[k];
        const std::size_t row = rows[k];
        EXPECT_NEAR(t.real(row, FieldId::Lat), std::stod(gb.at("Latitude")), 5e-7);
        EXPECT_NEAR(t.real(row, FieldId::Lon), std::stod(gb.at("Longitude")), 5e-7);
        if (gb.contains("Altitude") && !gb.at("Altitude").empty()) {
            EXPECT_NEAR(t.real(row, FieldId::Elev) * 0.3048, std::stod(gb.at("Altitude")), 0.05 + 1e-9);
        } else {
            EXPECT_TRUE(t.isNull(row, FieldId::Elev));
        }
        EXPECT_EQ(t.timeMs(row, FieldId::Time), *unicsvTimeMs(gb));
        if (t.stat(row) == 'P' && gb.contains("Name")) {
            EXPECT_EQ(t.text(row, FieldId::Name), gb.at("Name"));
        }
    }
}

// Row indices in file order: the binding pass sorted the table by time.
inline std::vector<std::size_t> fileOrder(const DataTable& t) {
    std::vector<std::size_t> rows(t.rowCount());
    std::iota(rows.begin(), rows.end(), 0);
    std::sort(rows.begin(), rows.end(),
              [&](std::size_t a, std::size_t b) { return t.creationNumber(a) < t.creationNumber(b); });
    return rows;
}

}  // namespace geovanta::test

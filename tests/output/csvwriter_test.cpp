// The table as CSV: every kind of cell, and row order across the blocks that
// are formatted side by side.
#include "output/csvwriter.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "output/photorows.h"
#include "table/datatable.h"
#include "table/datetime.h"
#include "table/numbertext.h"

namespace geovanta {
namespace {

std::string csvOf(const DataTable& table) {
    std::ostringstream out;
    CsvWriter::write(table, out);
    return out.str();
}

TEST(CsvWriter, CellsOfEveryKind) {
    DataTable table;
    test::addPhoto(table, "/p/a,\"b\".jpg", -33.5, 0.000001, -10.5);
    test::addRow(table, "T", "", 0, 0, std::nullopt);
    test::addPhoto(table, "/p/c.jpg", 0, 0);
    table.setPhotoFacts(0, {{"OLYMPUS IMAGING CORP.", "u1020,S1020", ""}, std::nullopt});
    table.setText(1, FieldId::Name, "\xCA\xF0\xE5\xEC\xEB\xFC");  // Windows-1251
    // Placed where the equator meets the prime meridian, unlike c.jpg, not placed.
    test::addPhoto(table, "/p/0.jpg", 0, 0);
    table.setReal(3, FieldId::Lat, 0);
    table.setReal(3, FieldId::Lon, 0);
    table.setTimeMs(1, FieldId::Time, *civilToMs({2024, 2, 29, 23, 59, 58, 7}));
    table.setTimeMs(1, FieldId::VTime, *civilToMs({2024, 2, 29, 23, 59, 58, 8}));
    table.setReal(1, FieldId::Dist, 1e21);
    EXPECT_EQ(csvOf(table),
              "Stat,Name,Time,Lat,Lon,Elev,Dist,Speed,VTime,FileName,Type,VLat,VLon,VElev,Camera\r\n"
              "F,\"/p/a,\"\"b\"\".jpg\",,-33.5,1e-06,-10.5,,,,\"/p/a,\"\"b\"\".jpg\",Фото,"
              "33 30.0000 S,0 00.0001 E,-3,\"u1020,S1020\"\r\n"
              "T,Кремль,2024-02-29 23:59:58.007,,,,1e+21,,2024-02-29 23:59:58.008,,Трек,,,,\r\n"
              "F,/p/c.jpg,,,,,,,,/p/c.jpg,Фото,,,,\r\n"
              "F,/p/0.jpg,,0,0,,,,,/p/0.jpg,Фото,0 00.0000 N,0 00.0000 E,,\r\n");
}

// Rows go out in blocks; each row keeps its place and its own times, also
// where one row's shifted time is the next one's own.
TEST(CsvWriter, ManyRowsKeepTableOrderAndTheirTimes) {
    DataTable table;
    constexpr int kRows = 50001;  // several blocks and a short last one
    const int64_t start = *civilToMs({2010, 12, 1, 0, 0, 0, 0});
    auto time = [&](int i) { return start + 1000 * static_cast<int64_t>(i); };
    auto shifted = [&](int i) { return i % 3 ? time(i) : time(i + 1); };
    for (int i = 0; i < kRows; ++i) {
        table.append();
        table.setText(table.recNo(), FieldId::Stat, "T");
        table.setText(table.recNo(), FieldId::Name, std::to_string(i));
        table.setTimeMs(table.recNo(), FieldId::Time, time(i));
        table.setTimeMs(table.recNo(), FieldId::VTime, shifted(i));
        table.post();
    }
    std::istringstream lines(csvOf(table));
    std::string line;
    std::getline(lines, line);
    int i = 0;
    for (; std::getline(lines, line); ++i) {
        const std::string expected = "T," + std::to_string(i) + "," + formatIsoDayTime(time(i)) + ",,,,,," +
                                     formatIsoDayTime(shifted(i)) + ",,";
        ASSERT_EQ(line.compare(0, expected.size(), expected), 0) << line;
        ASSERT_EQ(line.back(), '\r');
    }
    EXPECT_EQ(i, kRows);
}

TEST(NumberText, BufferWritersAndTheirEdges) {
    char buf[4 * kNumberTextMax];
    char* p = putInteger(buf, -42, 4);
    p = putInteger(p, 7, 2);
    p = putInteger(p, 0);
    p = putInteger(p, INT64_MIN);
    EXPECT_EQ(std::string(buf, p), "-0042070-9223372036854775808");
    EXPECT_EQ(formatFixed(1e20L, 1), "100000000000000000000.0");
    EXPECT_EQ(formatFixed(-0.004, 2), "0.00");
    EXPECT_EQ(formatFixed(59.99996, 4, 2), "60.0000");
    EXPECT_EQ(formatFixed(3.7, 0), "4");
    EXPECT_EQ(formatIsoDayTime(0), "1899-12-30 00:00:00.000");
    EXPECT_EQ(formatIsoDayTime(daysToMs(kMinDays)), "0001-01-01 00:00:00.000");
    EXPECT_EQ(formatIsoDayTime(*civilToMs({9999, 12, 31, 23, 59, 59, 999})), "9999-12-31 23:59:59.999");
}

}  // namespace
}  // namespace geovanta

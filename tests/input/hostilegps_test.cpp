// Track and waypoint files that are huge, damaged or not files at all: each
// load ends with the reader's own rejection or error, or with its rows, and
// leaves the table whole with the rows loaded before an error.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>

#include "input/trackreader.h"
#include "input/waypointreader.h"
#include "table/datatable.h"
#include "table/messages.h"
#include "input/ozifileheaders.h"

using namespace geovanta;
using test::kPltHeader;
using test::kWptHeader;

namespace {

class HostileGpsTest : public ::testing::Test {
protected:
    LoadResult track(const std::string& file) { return TrackReader(table, trackCounter).load(file); }
    LoadResult waypoints(const std::string& file) { return WaypointReader(table).load(file); }
    std::string name(std::size_t row) const { return std::string(table.text(row, FieldId::Name)); }

    // Shown again, no row left pending, rows in shifted-time order.
    void expectTableWhole() const {
        EXPECT_EQ(table.suspendCount(), 0);
        EXPECT_EQ(table.state(), DataTable::State::Browse);
        for (std::size_t row = 1; row < table.rowCount(); ++row)
            ASSERT_LE(table.timeMs(row - 1, FieldId::VTime), table.timeMs(row, FieldId::VTime)) << row;
    }

    test::TempDir dir;
    DataTable table;
    uint16_t trackCounter = 0;
};

std::string noise(std::size_t size, unsigned seed) {
    std::mt19937 gen(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(gen());
    return bytes;
}

}  // namespace

TEST_F(HostileGpsTest, TwoMillionLinesLoadUpToTheBadLastOne) {
    // Points one second apart; the last line is damaged.
    constexpr std::size_t kLines = 2'000'000;
    constexpr std::size_t kPoints = kLines - 6 - 1;
    std::string bytes(kPltHeader);
    bytes.reserve(kPoints * 32);
    char line[64];
    for (std::size_t i = 0; i < kPoints; ++i) {
        const int n = std::snprintf(line, sizeof line, "55.%zu,37.5,0,%zu,%.6f\n", i % 1000, i % 500,
                                    40513 + static_cast<double>(i) / 86400);
        bytes.append(line, static_cast<std::size_t>(n));
    }
    bytes += "55.1,37.1,0,12,4O513.5\n";
    const std::string file = dir.write("big.plt", bytes);
    bytes = std::string();

    const LoadResult r = track(file);
    EXPECT_EQ(r.message, "'4O513.5' is not a valid floating point value\n" + file + ", line 2000000");
    ASSERT_EQ(table.rowCount(), kPoints);
    expectTableWhole();
    // Point numbers go on past 65535, so no two points share a name.
    EXPECT_EQ(name(0), "T01-0001");
    EXPECT_EQ(name(9999), "T01-10000");
    EXPECT_EQ(name(65535), "T01-65536");
    EXPECT_EQ(name(65536), "T01-65537");
    EXPECT_EQ(name(kPoints - 1), "T01-" + std::to_string(kPoints));
}

TEST_F(HostileGpsTest, TenMegabyteLines) {
    const std::string huge(10u << 20, '7');
    // Without a comma it is no data line; the point before it stays.
    ASSERT_TRUE(track(dir.write("a.plt", std::string(kPltHeader) + "55.1,37.1,0,1,40513.5\r\n" + huge)).ok());
    EXPECT_EQ(table.rowCount(), 1u);

    // As a field it stops the load with a message that quotes it cut short.
    const LoadResult r = track(dir.write("b.plt", std::string(kPltHeader) + "55.2,37.2,0,1,40513.6\r\n55.3,37.3,0,1," +
                                                      huge + "x"));
    EXPECT_EQ(r.message, "'" + huge.substr(0, 100) + "...' is not a valid floating point value\n" + dir.folder() +
                             "b.plt, line 8");
    EXPECT_EQ(table.rowCount(), 2u);

    // A huge waypoint name keeps its first 64 characters; a huge altitude is
    // quoted cut short as well.
    const LoadResult w = waypoints(dir.write("c.wpt", std::string(kWptHeader) + "1," + huge + ",1,2,40513.7,\r\n" +
                                                         "2,B,1,2,40513.8,,,,,,,,,," + huge + "x"));
    EXPECT_EQ(w.message, "'" + huge.substr(0, 100) + "...' is not a valid floating point value for field 'Elev'\n" +
                             dir.folder() + "c.wpt, line 6");
    ASSERT_EQ(table.rowCount(), 3u);
    EXPECT_EQ(name(2), huge.substr(0, 64));
    expectTableWhole();
}

TEST_F(HostileGpsTest, NulBytesAndNoiseUnderGoodHeaders) {
    const std::string nuls(1u << 20, '\0');
    EXPECT_EQ(track(dir.write("nul.plt", nuls)).message, textOf(Msg::NotTrack));
    EXPECT_EQ(waypoints(dir.write("nul.wpt", nuls)).message, textOf(Msg::NotWaypoints));
    // NULs after good headers are a damaged line, with its number.
    const std::string nulMessage = "A data line holds a NUL byte: the file is damaged\n";
    EXPECT_EQ(track(dir.write("nul2.plt", std::string(kPltHeader) + nuls)).message,
              nulMessage + dir.folder() + "nul2.plt, line 7");
    EXPECT_EQ(table.rowCount(), 0u);
    EXPECT_EQ(trackCounter, 1);
    // Half a file of points, then a zero-filled rest, as a crash leaves it.
    std::string points, places;
    for (int i = 1; i <= 500; ++i) {
        const std::string n = std::to_string(i);
        points += i == 250 ? std::string(40, '\0') + "\r\n" : "55." + n + ",37,0,100,40513." + n + "\r\n";
        places += i == 250 ? std::string(40, '\0') + "\r\n" : n + ",P" + n + ",55." + n + ",37,40513." + n + ",\r\n";
    }
    EXPECT_EQ(track(dir.write("half.plt", std::string(kPltHeader) + points)).message,
              nulMessage + dir.folder() + "half.plt, line 256");
    EXPECT_EQ(waypoints(dir.write("half.wpt", std::string(kWptHeader) + places)).message,
              nulMessage + dir.folder() + "half.wpt, line 254");
    EXPECT_EQ(table.rowCount(), 2u * 249);

    for (unsigned seed = 1; seed <= 4; ++seed) {
        SCOPED_TRACE(seed);
        // Printable noise with commas and line ends, so that many lines get
        // as far as the field conversions; then raw bytes.
        std::string text = noise(256u << 10, seed);
        static constexpr char kAlphabet[] = "0123456789,,,,,..\n\r-e +";
        for (char& c : text) c = kAlphabet[static_cast<unsigned char>(c) % (sizeof kAlphabet - 1)];
        for (const std::string& body : {text, noise(256u << 10, seed)}) {
            const std::size_t rowsBefore = table.rowCount();
            const LoadResult t = track(dir.write("noise.plt", std::string(kPltHeader) + body));
            EXPECT_TRUE(t.ok() || t.message.find(", line ") != std::string::npos) << t.message.substr(0, 300);
            EXPECT_LT(t.message.size(), 1000u);
            const LoadResult w = waypoints(dir.write("noise.wpt", std::string(kWptHeader) + body));
            EXPECT_TRUE(w.ok() || w.message.find(", line ") != std::string::npos ||
                        w.message == textOf(Msg::NotWaypoints))
                << w.message.substr(0, 300);
            EXPECT_LT(w.message.size(), 1000u);
            EXPECT_GE(table.rowCount(), rowsBefore);
            expectTableWhole();
        }
    }
}

TEST_F(HostileGpsTest, PipesDevicesAndOversizedFilesAreRefusedAtOnce) {
    const std::string fifo = dir.folder() + "track.plt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Nobody writes to the pipe: opening it for a blocking read would wait forever.
    EXPECT_EQ(track(fifo).message, "Cannot open file " + fifo + ": not a regular file");
    EXPECT_EQ(waypoints(fifo).message, "Cannot open file " + fifo + ": not a regular file");
    EXPECT_EQ(track("/dev/zero").message, "Cannot open file /dev/zero: not a regular file");
    EXPECT_EQ(waypoints("/dev/null").message, "Cannot open file /dev/null: not a regular file");

    // A sparse file takes no room on disk, but would take a gigabyte in memory.
    const std::string big = dir.write("disk-image.plt", kPltHeader);
    std::filesystem::resize_file(big, (uint64_t{1} << 30) + 1);
    EXPECT_EQ(track(big).message, "File " + big + " is too large (more than 1024 MB)");
    EXPECT_EQ(trackCounter, 0);
    EXPECT_EQ(table.rowCount(), 0u);
    expectTableWhole();
}

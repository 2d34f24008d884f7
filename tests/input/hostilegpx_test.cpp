// GPX files built to hurt: deep nesting, huge names and values, noise. Each
// load ends quickly with its rows, its rejection or its error, and leaves the
// table whole.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "input/gpxreader.h"
#include "table/datatable.h"

using namespace geovanta;

namespace {

constexpr const char* kPoint = "<wpt lat=\"55\" lon=\"37\"><time>2010-12-01T08:15:00Z</time></wpt>\n";

class HostileGpxTest : public ::testing::Test {
protected:
    LoadResult load(const std::string& bytes, std::size_t pieceBytes = 0) {
        const auto start = std::chrono::steady_clock::now();
        GpxReader reader(table, trackCounter);
        if (pieceBytes) reader.setPieceBytes(pieceBytes);
        const LoadResult r = reader.loadBytes(bytes, "h.gpx");
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_EQ(table.suspendCount(), 0);
        EXPECT_EQ(table.state(), DataTable::State::Browse);
        EXPECT_LE(r.message.size(), 1024u) << "a huge text is not quoted whole";
        return r;
    }
    static std::string repeat(const std::string& s, std::size_t n) {
        std::string out;
        out.reserve(s.size() * n);
        for (std::size_t k = 0; k < n; ++k) out += s;
        return out;
    }

    DataTable table;
    uint16_t trackCounter = 0;
};

}  // namespace

TEST_F(HostileGpxTest, DeepNesting) {
    constexpr std::size_t kDepth = 300000;
    const std::string deep = repeat("<a>", kDepth) + repeat("</a>", kDepth);
    for (std::size_t piece : {std::size_t{0}, std::size_t{4096}}) {
        SCOPED_TRACE(piece);
        table.clear();
        // Nesting among the points, closed and then not.
        EXPECT_TRUE(load("<gpx>" + repeat(kPoint, 100) + deep + repeat(kPoint, 100) + "</gpx>", piece).ok());
        EXPECT_EQ(table.rowCount(), 200u);
        table.clear();
        const LoadResult open = load("<gpx>" + repeat(kPoint, 100) + repeat("<wpt><a>", kDepth), piece);
        EXPECT_EQ(open.status, LoadResult::Status::Failed);
        EXPECT_EQ(table.rowCount(), 100u);
    }
}

TEST_F(HostileGpxTest, HugeNamesAndValues) {
    const std::string huge(8 << 20, 'x');
    EXPECT_TRUE(load("<gpx>" + std::string(kPoint) + "<" + huge + "/>" + kPoint + "</gpx>").ok());
    EXPECT_TRUE(load("<gpx>" + std::string(kPoint) + "<wpt lat=\"55\" lon=\"37\" x=\"" + huge +
                     "\"><time>2010-12-01T08:15:00Z</time><name>" + huge + "</name></wpt></gpx>",
                     1024)
                    .ok());
    EXPECT_EQ(table.rowCount(), 4u);
    EXPECT_EQ(table.text(3, FieldId::Name).size(), 64u);
    const LoadResult badLat = load("<gpx><wpt lat=\"" + huge + "\" lon=\"37\"/></gpx>");
    EXPECT_EQ(badLat.status, LoadResult::Status::Failed);
    const LoadResult badTime = load("<gpx><wpt lat=\"1\" lon=\"1\"><time>" + huge + "</time></wpt></gpx>");
    EXPECT_EQ(badTime.status, LoadResult::Status::Failed);
    // An end tag text inside a value far longer than a piece.
    const std::string ends = repeat("</wpt>", 1 << 20);
    table.clear();
    EXPECT_TRUE(load("<gpx>" + std::string(kPoint) + "<wpt lat=\"1\" lon=\"1\" note=\"" + ends +
                     "\"><time>2010-12-01T08:15:00Z</time></wpt><!--" + ends + "-->" + kPoint + "</gpx>",
                     4096)
                    .ok());
    EXPECT_EQ(table.rowCount(), 3u);
}

TEST_F(HostileGpxTest, NoiseAfterAGoodStart) {
    std::mt19937 gen(7);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        std::string noise(2000 + round * 500, '\0');
        for (char& c : noise) c = "<>/=\"' abcwpt\n:&;!-?[]x\0"[gen() % 25];
        table.clear();
        trackCounter = 0;
        const std::string file = "<gpx>" + repeat(kPoint, 3) + "<trk><trkseg>" + noise;
        const LoadResult whole = load(file);
        EXPECT_NE(whole.status, LoadResult::Status::Rejected);
        EXPECT_GE(table.rowCount(), 3u);
        const std::size_t rows = table.rowCount();
        table.clear();
        trackCounter = 0;
        EXPECT_EQ(load(file, 64).message, whole.message);
        EXPECT_EQ(table.rowCount(), rows);
    }
}

// A long log: the 65,537th point is not a second T01-0001.
TEST_F(HostileGpxTest, PointNumbersGoOnPast65535) {
    const std::string point = "<trkpt lat=\"55.5\" lon=\"37.5\"><time>2010-12-01T08:15:00Z</time></trkpt>";
    ASSERT_TRUE(load("<gpx><trk><trkseg>" + repeat(point, 65537) + "</trkseg></trk></gpx>").ok());
    ASSERT_EQ(table.rowCount(), 65537u);
    std::size_t last = 0;
    for (std::size_t r = 0; r < table.rowCount(); ++r)
        if (table.creationNumber(r) > table.creationNumber(last)) last = r;
    EXPECT_EQ(table.text(last, FieldId::Name), "T01-65537");
}

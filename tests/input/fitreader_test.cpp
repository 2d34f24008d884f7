// FIT files made here, each with what a device may write or a fault may do.
#include <gtest/gtest.h>

#include <string>

#include "fitbuilder.h"
#include "input/fitreader.h"
#include "input/gpsread.h"
#include "table/datatable.h"
#include "table/datetime.h"
#include "table/messages.h"

using namespace geovanta;
using namespace geovanta::test;
using Status = LoadResult::Status;

namespace {

constexpr int64_t kT0 = 1500000000;  // 2017-07-14 02:40:00 UTC, a multiple of 32 FIT seconds
constexpr uint32_t kNoPosition = 0x7FFFFFFF;

int64_t msAt(int64_t unixSeconds) { return kUnixEpochMs + unixSeconds * 1000; }

struct Read {
    DataTable table;
    uint16_t tracks = 0;
    GpsRead read{table, "ride.fit", tracks};
    LoadResult result;
    explicit Read(const std::string& bytes) { result = readFit(bytes, read); }
};

// file_id of the given type, and a record message holding time and position.
FitBuilder activity(uint8_t fileType = 4) {
    FitBuilder b;
    b.define(0, 0, {{0, 1, kUint8}}).message(0, {fileType});
    b.define(1, 20, {{253, 4, kUint32}, {0, 4, kSint32}, {1, 4, kSint32}});
    return b;
}

void addPoint(FitBuilder& b, uint32_t time, double lat = 55.75, double lon = 37.62) {
    b.message(1, {time, semicircles(lat), semicircles(lon)});
}

}  // namespace

TEST(FitReader, ReadsFieldsInEitherByteOrderAndCompressedTimes) {
    FitBuilder b = activity();
    // Both altitudes: the wide one wins unless it says "none"; developer
    // fields are skipped by their sizes.
    b.define(2, 20, {{253, 4, kUint32}, {0, 4, kSint32}, {1, 4, kSint32}, {2, 2, kUint16}, {78, 4, kUint32}}, false, 5);
    b.message(2, {fitSeconds(kT0), semicircles(55.75), semicircles(37.62), fitAltitude(150), 0xFFFFFFFF});
    b.message(2, {fitSeconds(kT0 + 30), semicircles(55.76), semicircles(37.63), fitAltitude(150), fitAltitude(160)});
    // Big-endian, no time field: times from compressed headers, the first
    // rolling over past 31 seconds. A one-byte altitude holds no value.
    b.define(3, 20, {{0, 4, kSint32}, {1, 4, kSint32}, {2, 1, kUint16}}, true);
    const uint8_t low = fitSeconds(kT0 + 30) & 0x1F;
    b.message(3, {semicircles(-33.9), semicircles(151.2), 7}, low + 4);
    b.message(3, {kNoPosition, kNoPosition, 7}, low + 5);
    b.define(4, 20, {{0, 4, kSint32}, {1, 4, kSint32}});  // neither time nor compressed header
    b.message(4, {semicircles(1), semicircles(2)});
    addPoint(b, fitSeconds(3'800'000'000));  // 2090
    Read r(b.file());

    ASSERT_EQ(r.result.status, Status::Loaded) << r.result.message;
    ASSERT_EQ(r.table.rowCount(), 3u);
    EXPECT_EQ(r.tracks, 1);
    EXPECT_EQ(r.table.text(2, FieldId::Name), "T01-0003");
    EXPECT_EQ(r.table.timeMs(0, FieldId::Time), msAt(kT0));
    EXPECT_NEAR(r.table.real(0, FieldId::Elev) * 0.3048, 150, 1e-9);
    EXPECT_NEAR(r.table.real(1, FieldId::Elev) * 0.3048, 160, 1e-9);
    EXPECT_NEAR(r.table.real(1, FieldId::Lat), 55.76, 1e-7);
    EXPECT_EQ(r.table.timeMs(2, FieldId::Time), msAt(kT0 + 34));
    EXPECT_NEAR(r.table.real(2, FieldId::Lat), -33.9, 1e-7);
    EXPECT_NEAR(r.table.real(2, FieldId::Lon), 151.2, 1e-7);
    EXPECT_TRUE(r.table.isNull(2, FieldId::Elev));
    EXPECT_EQ(r.read.stats.withoutPosition, 1u);
    EXPECT_EQ(r.read.stats.withoutTime, 1u);
    EXPECT_EQ(r.read.stats.impossibleTimes, 1u);
    EXPECT_TRUE(r.read.stats.warnings.empty());
}

// A camera's records count seconds from its start; a correlation message,
// here after the first of them, ties that clock to UTC to the millisecond.
// Without one their time is unknown.
TEST(FitReader, PlacesDeviceClockByItsCorrelation) {
    FitBuilder b = activity();
    addPoint(b, 100);
    const FitBuilder uncorrelated = b;
    b.define(2, 162, {{253, 4, kUint32}, {1, 4, kUint32}, {4, 2, kUint16}, {5, 2, kUint16}});
    b.message(2, {fitSeconds(kT0), 101, 250, 750});
    addPoint(b, 102);
    Read r(b.file());
    ASSERT_EQ(r.table.rowCount(), 2u);
    EXPECT_EQ(r.table.timeMs(0, FieldId::Time), msAt(kT0) - 1500);
    EXPECT_EQ(r.table.timeMs(1, FieldId::Time), msAt(kT0) + 500);

    Read unknown(uncorrelated.file());
    EXPECT_EQ(unknown.result.status, Status::Loaded);
    EXPECT_EQ(unknown.table.rowCount(), 0u);
    EXPECT_EQ(unknown.read.stats.withoutTime, 1u);
}

TEST(FitReader, DamageKeepsThePointsBeforeIt) {
    struct Case {
        const char* what;
        std::string damage;
        bool cut;  // the file ends there, without its checksum
        std::string message;
    } cases[] = {
        {"cut record", std::string("\x01\x00\x00", 3), true, textOf(Msg::FitCutShort)},
        {"undefined type", std::string("\x05\x00\x00", 3), false, textOf(Msg::FitUndefinedMessage, {5})},
        {"byte order 7", std::string("\x42\x00\x07\x14\x00\x00", 6), false, textOf(Msg::FitBadByteOrder, {7})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FitBuilder b = activity();
        addPoint(b, fitSeconds(kT0));
        addPoint(b, fitSeconds(kT0 + 1));
        const std::size_t at = 14 + b.size();
        std::string file = b.raw(c.damage).file();
        if (c.cut) file.resize(file.size() - 2);
        Read r(file);
        EXPECT_EQ(r.result.status, Status::Failed);
        EXPECT_EQ(r.result.message, c.message + "\nride.fit, byte " + std::to_string(at));
        EXPECT_EQ(r.table.rowCount(), 2u);
    }
}

// Files joined one after another are all read, as one track; a wrong
// checksum and bytes that are not FIT are warnings, zeros padding is none.
TEST(FitReader, ChainedFilesChecksumsAndTrailingBytes) {
    FitBuilder first = activity(), second = activity();
    addPoint(first, fitSeconds(kT0));
    addPoint(second, fitSeconds(kT0 + 1));
    const std::string a = first.file(), b = second.file();
    std::string badHeader = b, badData = b;
    badHeader[12] ^= 1;
    badHeader.resize(badHeader.size() - 2);
    FitBuilder::appendCrc(badHeader);  // the file's checksum right again
    badData[badData.size() - 1] ^= 1;
    const struct {
        std::string bytes;
        std::size_t warningAt;  // 0: no warning
    } cases[] = {
        {a + b + std::string(16, '\0'), 0},
        {a + badHeader, a.size() + 12},
        {a + badData, a.size() + b.size() - 2},
        {a + b + "junk", 2 * a.size()},
    };
    for (const auto& c : cases) {
        Read r(c.bytes);
        EXPECT_EQ(r.result.status, Status::Loaded);
        EXPECT_EQ(r.table.rowCount(), 2u);
        EXPECT_EQ(r.tracks, 1);
        ASSERT_EQ(r.read.stats.warnings.size(), c.warningAt ? 1u : 0u);
        if (c.warningAt) {
            EXPECT_TRUE(r.read.stats.warnings[0].find(" byte " + std::to_string(c.warningAt) + " ") != std::string::npos)
                << r.read.stats.warnings[0];
        }
    }
}

TEST(FitReader, FilesOfOtherKinds) {
    EXPECT_EQ(Read("not a FIT file at all").result.message, textOf(Msg::NotFit));
    EXPECT_EQ(Read(activity(2).file()).result.message, textOf(Msg::FitSettingsFile));
    FitBuilder indoor = activity();
    addPoint(indoor, fitSeconds(kT0), 0, 0);  // (0, 0): no fix
    EXPECT_EQ(Read(indoor.file()).result.message, textOf(Msg::FitNoPositions));

    FitBuilder locations = activity(8);
    locations.define(2, 29, {{253, 4, kUint32}, {0, 8, kString}, {1, 4, kSint32}, {2, 4, kSint32}, {4, 2, kUint16}});
    locations.message(2, {fitSeconds(kT0), "Home", semicircles(55.7), semicircles(37.6), fitAltitude(120)});
    locations.message(2, {0xFFFFFFFF, "Undated", semicircles(55.7), semicircles(37.6), fitAltitude(120)});
    Read places(locations.file());
    ASSERT_EQ(places.table.rowCount(), 1u);
    EXPECT_EQ(places.table.stat(0), 'P');
    EXPECT_EQ(places.table.text(0, FieldId::Name), "Home");
    EXPECT_EQ(places.read.stats.withoutTime, 1u);
    EXPECT_EQ(places.tracks, 0);

    FitBuilder course = activity(6);
    addPoint(course, fitSeconds(kT0));
    Read planned(course.file());
    EXPECT_EQ(planned.table.rowCount(), 1u);
    EXPECT_EQ(planned.read.stats.warnings, std::vector<std::string>{textOf(Msg::FitCourse)});
}

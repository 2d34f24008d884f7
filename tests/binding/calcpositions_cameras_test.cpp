// The pass with several cameras: each body's own offset, and a camera on
// local time placed by the zones of the shipped borders and the system's tz rules.
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "binding/calcpositions.h"
#include "binding/placement.h"
#include "geo/zonedata.h"
#include "table/datatable.h"
#include "table/datetime.h"

namespace geovanta {
namespace {

constexpr int64_t kMinute = 60000;

int64_t when(int year, int month, int day, int hour, int minute) {
    return *civilToMs({year, month, day, hour, minute, 0, 0});
}

std::shared_ptr<const ZoneData> shippedZones() {
    return ZoneData::shared(GEOVANTA_SOURCE_DATA "/timezones/zones.bin", GEOVANTA_SOURCE_DATA "/places");
}

void point(DataTable& t, int64_t utc, double lat, double lon) {
    t.append();
    t.setText(t.recNo(), FieldId::Stat, "T");
    t.setTimeMs(t.recNo(), FieldId::Time, utc);
    t.setReal(t.recNo(), FieldId::Lat, lat);
    t.setReal(t.recNo(), FieldId::Lon, lon);
    t.post();
}

// A point every five minutes, the latitude creeping north a little each time.
void stay(DataTable& t, int64_t from, int64_t to, double lat, double lon) {
    for (int64_t at = from, i = 0; at <= to; at += 5 * kMinute, ++i) point(t, at, lat + 0.0001 * i, lon);
}

void photo(DataTable& t, const char* name, int64_t time, const CameraKey& camera, std::optional<int> zone = {}) {
    t.append();
    const std::size_t row = t.recNo();
    t.setText(row, FieldId::Stat, "F");
    t.setText(row, FieldId::Name, name);
    t.setTimeMs(row, FieldId::Time, time);
    t.post();
    PhotoFacts facts;
    facts.camera = camera;
    t.setPhotoFacts(row, facts);
    if (zone) t.setPhotoZone(row, zone);
}

std::size_t rowOf(const DataTable& t, std::string_view name) {
    for (std::size_t r = 0; r < t.rowCount(); ++r)
        if (t.text(r, FieldId::Name) == name) return r;
    ADD_FAILURE() << "no row " << name;
    return 0;
}

const CameraKey kFast{"Canon", "Canon EOS R5", "0012"};
const CameraKey kRight{"Canon", "Canon EOS R5", "345"};
const CameraKey kPhone{"Apple", "iPhone 15", ""};

TEST(CalcPositionsCameras, TwoBodiesOfOneModelEachTakeTheirOwnOffset) {
    DataTable t;
    stay(t, when(2024, 5, 4, 10, 0), when(2024, 5, 4, 11, 0), 50.0, 10.0);
    // All three taken at 10:30 UTC; the first body's clock runs 1 h 3 min fast.
    photo(t, "fast", when(2024, 5, 4, 11, 33), kFast);
    photo(t, "right", when(2024, 5, 4, 10, 30), kRight);
    photo(t, "nobody", when(2024, 5, 4, 10, 30) + 20 * kMinute, CameraKey{});
    BindingParams p;
    p.photoOffset = -20.0 / 1440;  // the photo offset serves a photograph without a camera
    // The serial as another file gives it, without its leading zeros; the
    // second body's clock is right, whatever the photo offset.
    p.cameras = {{CameraKey{"Canon", "Canon EOS R5", "12"}, -63.0 / 1440, false}, {kRight, 0.0, false}};
    CalcPositions(t, p);
    for (const char* name : {"fast", "right", "nobody"}) {
        SCOPED_TRACE(name);
        const std::size_t row = rowOf(t, name);
        EXPECT_EQ(formatIsoDayTime(t.timeMs(row, FieldId::VTime)), formatIsoDayTime(when(2024, 5, 4, 10, 30)));
        EXPECT_NEAR(t.real(row, FieldId::Lat), 50.0006, 1e-9);
    }
    // A body not set takes the photo offset.
    EXPECT_EQ(clockOf(p, &kPhone).offset, p.photoOffset);
}

TEST(CalcPositionsCameras, MoscowToReykjavikOnLocalTime) {
    DataTable t;
    stay(t, when(2024, 7, 10, 6, 0), when(2024, 7, 10, 15, 0), 55.75, 37.62);    // Moscow, UTC+3
    stay(t, when(2024, 7, 10, 19, 0), when(2024, 7, 11, 16, 0), 64.14, -21.94);  // Reykjavik, UTC
    stay(t, when(2024, 7, 11, 21, 0), when(2024, 7, 12, 6, 0), 55.75, 37.62);    // Moscow again
    // The phone keeps local time; its clock also runs two minutes slow.
    photo(t, "lunch", when(2024, 7, 10, 11, 58), kPhone);
    photo(t, "geyser", when(2024, 7, 11, 11, 58), kPhone);
    photo(t, "skipped", when(2024, 7, 11, 22, 58), kPhone);  // an hour the flight east skips
    photo(t, "home", when(2024, 7, 12, 0, 58), kPhone);
    // The camera names its zone: that wins over the track's suggestion.
    photo(t, "tagged", when(2024, 7, 10, 10, 0), kFast, 120);
    BindingParams p;
    p.cameras = {{kPhone, 2.0 / 1440, true}, {kFast, std::nullopt, true}};
    p.zones = shippedZones();
    CalcPositions(t, p);

    struct Expected {
        const char* name;
        std::optional<int64_t> utc;  // none: not placed
        LocalZone::Status status;
        const char* zone;
        int32_t offset;
    };
    const Expected expected[] = {
        {"lunch", when(2024, 7, 10, 9, 0), LocalZone::Status::Found, "Europe/Moscow", 10800},
        {"geyser", when(2024, 7, 11, 12, 0), LocalZone::Status::Found, "Atlantic/Reykjavik", 0},
        {"skipped", std::nullopt, LocalZone::Status::NoConsistentZone, "Europe/Moscow", 10800},
        {"home", when(2024, 7, 11, 22, 0), LocalZone::Status::Found, "Europe/Moscow", 10800},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.name);
        const std::size_t row = rowOf(t, e.name);
        const LocalZone* zone = t.localZone(row);
        ASSERT_NE(zone, nullptr);
        EXPECT_EQ(zone->status, e.status);
        EXPECT_EQ(zone->zone, e.zone);
        EXPECT_EQ(zone->offsetSeconds, e.offset);
        EXPECT_EQ(t.isNull(row, FieldId::Lat), !e.utc);
        if (e.utc) {
            EXPECT_EQ(formatIsoDayTime(t.timeMs(row, FieldId::VTime)), formatIsoDayTime(*e.utc));
        }
    }
    EXPECT_EQ(explainPlacement(t, rowOf(t, "skipped"), p.tolerance).kind, PlacementKind::NoLocalZone);

    const std::size_t tagged = rowOf(t, "tagged");
    ASSERT_NE(t.localZone(tagged), nullptr);
    EXPECT_EQ(*t.localZone(tagged), (LocalZone{LocalZone::Status::PhotoZone, "", 7200}));
    EXPECT_EQ(formatIsoDayTime(t.timeMs(tagged, FieldId::VTime)), formatIsoDayTime(when(2024, 7, 10, 8, 0)));
    EXPECT_FALSE(t.isNull(tagged, FieldId::Lat));

    // The camera taken off local time loses its zone on the next pass.
    p.cameras = {{kPhone, 2.0 / 1440, false}};
    CalcPositions(t, p);
    EXPECT_EQ(t.localZone(rowOf(t, "lunch")), nullptr);
}

}  // namespace
}  // namespace geovanta

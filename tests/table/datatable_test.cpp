#include "table/datatable.h"
#include "table/position.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "table/datetime.h"

using namespace geovanta;

namespace {

void appendRow(DataTable& t, const char* stat, const char* name, double vtime) {
    t.append();
    t.fieldByName("Stat").setAsString(stat);
    t.fieldByName("Name").setAsString(name);
    t.fieldByName("VTime").setAsDateTime(vtime);
    t.post();
}

std::string names(const DataTable& t) {
    std::string out;
    for (std::size_t r = 0; r < t.rowCount(); ++r) out += std::string(t.text(r, FieldId::Name)) + " ";
    return out;
}

}  // namespace

TEST(DataTable, FieldsAndTheirOrder) {
    const char* expected[] = {"Stat", "Name", "Time", "Lat", "Lon", "Elev", "Dist", "Speed",
                              "PathIndex", "VTime", "Type", "VLat", "VLon", "VElev", "FileName", "TimeSource",
                              "FileStamp", "Camera", "City", "State", "Country", "CountryCode"};
    static_assert(std::size(expected) == kFieldCount);
    for (int i = 0; i < kFieldCount; ++i) EXPECT_STREQ(fieldInfo(static_cast<FieldId>(i)).name, expected[i]);
    EXPECT_EQ(findField("vtime"), FieldId::VTime);
    EXPECT_FALSE(findField("Nope"));
    DataTable t;
    EXPECT_THROW(t.fieldByName("Nope"), std::out_of_range);
}

TEST(DataTable, NewRowsStartEmptyAndReadZero) {
    DataTable t;
    EXPECT_TRUE(t.eof());
    t.append();
    t.fieldByName("Stat").setAsString("F");
    t.post();
    EXPECT_TRUE(t.isNull(0, FieldId::Lat));
    EXPECT_EQ(t.real(0, FieldId::Lat), 0.0);
    EXPECT_TRUE(t.isNull(0, FieldId::PathIndex));
    // An unplaced photograph shows no position, no height and no leg; the
    // exported texts keep their form.
    EXPECT_EQ(t.displayText(0, FieldId::Type), "Фото");
    for (FieldId f : {FieldId::VLat, FieldId::VLon, FieldId::VElev, FieldId::Dist, FieldId::Speed})
        EXPECT_EQ(t.displayText(0, f), "") << fieldInfo(f).name;
    EXPECT_EQ(t.asString(0, FieldId::VLat), "0 00.0000 N");
    EXPECT_EQ(t.asString(0, FieldId::VElev), "0");
}

TEST(DataTable, ShownPositionsAndHeights) {
    DataTable t;
    auto row = [&](const char* stat, std::optional<double> lat, std::optional<double> lon, std::optional<double> elev) {
        t.append();
        t.field(FieldId::Stat).setAsString(stat);
        if (lat) t.field(FieldId::Lat).setAsFloat(*lat);
        if (lon) t.field(FieldId::Lon).setAsFloat(*lon);
        if (elev) t.field(FieldId::Elev).setAsFloat(*elev);
        t.post();
        return t.recNo();
    };
    const std::size_t noAltitude = row("T", 55.75, 37.6, -777);
    const std::size_t equator = row("T", 0, -0.25, 1000);
    // A photograph's position is the pass's or a person's: the equator is one.
    const std::size_t photoOnEquator = row("F", 0, 0, 100);
    const std::size_t unplacedPhoto = row("F", std::nullopt, std::nullopt, std::nullopt);
    const std::size_t trackWithoutPosition = row("T", 0, 0, std::nullopt);
    const std::size_t placed = row("F", -33.5, 37.617, -1);
    const std::size_t noLon = row("P", 55.75, std::nullopt, std::nullopt);

    EXPECT_EQ(t.displayText(noAltitude, FieldId::VElev), "");
    EXPECT_EQ(t.asString(noAltitude, FieldId::VElev), "-236");
    EXPECT_EQ(t.displayText(noAltitude, FieldId::VLat), "55 45.0000 N");
    // A track point on the equator is a real place.
    EXPECT_EQ(t.displayText(equator, FieldId::VLat), "0 00.0000 N");
    EXPECT_EQ(t.displayText(equator, FieldId::VLon), "0 15.0000 W");
    EXPECT_EQ(t.displayText(equator, FieldId::VElev), "304");
    EXPECT_EQ(t.displayText(photoOnEquator, FieldId::VLat), "0 00.0000 N");
    EXPECT_EQ(t.displayText(photoOnEquator, FieldId::VLon), "0 00.0000 E");
    EXPECT_TRUE(hasPosition(t, photoOnEquator));
    EXPECT_EQ(t.displayText(unplacedPhoto, FieldId::VLat), "");
    EXPECT_FALSE(hasPosition(t, unplacedPhoto));
    EXPECT_FALSE(hasPosition(t, trackWithoutPosition));
    EXPECT_EQ(t.displayText(placed, FieldId::VLat), "33 30.0000 S");
    EXPECT_EQ(t.displayText(placed, FieldId::VLon), "37 37.0200 E");
    EXPECT_EQ(t.displayText(placed, FieldId::VElev), "0");  // -0.3 m truncated
    EXPECT_EQ(t.displayText(noLon, FieldId::VLat), "55 45.0000 N");
    EXPECT_EQ(t.displayText(noLon, FieldId::VLon), "");
    EXPECT_EQ(t.displayText(noLon, FieldId::VElev), "");
}

// Where a photograph's time came from, and its file's stamp, ride with its
// row through sorting and a cancelled edit.
TEST(DataTable, HiddenFieldsTravelWithTheirRow) {
    DataTable t;
    for (const char* name : {"b", "a"}) appendRow(t, "F", name, name[0] - 'a' + 1.0);
    const FileStamp stamp{7, 1ull << 40, 123456, 1700000000123456789};
    t.moveTo(1);
    t.edit();
    t.field(FieldId::TimeSource).setAsString("M");
    t.setFileStamp(1, stamp);
    t.setPhotoZone(1, -240);
    t.post();
    t.sortBy(FieldId::VTime);
    EXPECT_EQ(names(t), "a b ");
    EXPECT_EQ(t.photoZone(0), -240);
    EXPECT_EQ(t.photoZone(1), std::nullopt);  // a new row has none, not +00:00
    EXPECT_EQ(t.copyRows()->photoZone(0), -240);
    EXPECT_THROW(t.setPhotoZone(1, 24 * 60 + 1), std::out_of_range);
    EXPECT_EQ(t.timeSource(0), kTimeFromFileDate);
    EXPECT_EQ(t.timeSource(1), 0);
    ASSERT_NE(t.fileStamp(0), nullptr);
    EXPECT_EQ(*t.fileStamp(0), stamp);
    EXPECT_EQ(t.fileStamp(1), nullptr);
    EXPECT_EQ(t.asString(0, FieldId::FileStamp), "7:1099511627776:123456:1700000000123456789");
    t.moveTo(0);
    t.edit();
    t.field(FieldId::TimeSource).clear();
    t.setFileStamp(0, FileStamp{8, 9, 10, 11});
    t.setPhotoZone(0, 0);
    t.cancel();
    EXPECT_EQ(t.text(0, FieldId::TimeSource), "M");
    EXPECT_EQ(t.photoZone(0), -240);
    EXPECT_EQ(*t.fileStamp(0), stamp);
    t.edit();
    t.field(FieldId::FileStamp).clear();
    t.post();
    EXPECT_TRUE(t.isNull(0, FieldId::FileStamp));
    EXPECT_EQ(t.fileStamp(0), nullptr);
}

TEST(DataTable, ValueRules) {
    DataTable t;
    t.append();
    t.fieldByName("Stat").setAsString("T");
    t.fieldByName("Name").setAsString(std::string(65, 'x'));
    t.fieldByName("Lat").setAsString(" 52.5 ");
    t.fieldByName("Elev").setAsFloat(1000);
    t.fieldByName("Dist").setAsFloat(637.8);
    t.post();
    EXPECT_EQ(t.text(0, FieldId::Name).size(), 64u);
    EXPECT_EQ(t.real(0, FieldId::Lat), 52.5);
    EXPECT_EQ(t.displayText(0, FieldId::VElev), "304");
    EXPECT_EQ(t.displayText(0, FieldId::Dist), "637.80");
    EXPECT_EQ(t.displayText(0, FieldId::Type), "Трек");

    t.edit();
    try {
        t.fieldByName("Lon").setAsString("12,5");
        FAIL() << "no error";
    } catch (const FieldError& e) {
        EXPECT_STREQ(e.what(), "'12,5' is not a valid floating point value for field 'Lon'");
    }
    t.fieldByName("Lat").setAsString("");  // empty text empties the field
    EXPECT_TRUE(t.isNull(0, FieldId::Lat));
    t.fieldByName("Elev").setAsFloat(-777);
    EXPECT_EQ(t.vElev(0), -236);  // truncated toward zero
    t.fieldByName("Elev").setAsFloat(2.5);
    EXPECT_EQ(t.fieldByName("Elev").asInteger(), 2);  // halves to even
    t.fieldByName("Elev").setAsFloat(3.5);
    EXPECT_EQ(t.fieldByName("Elev").asInteger(), 4);
    t.cancel();
    EXPECT_EQ(t.real(0, FieldId::Lat), 52.5);  // cancel restores the stored row
    EXPECT_EQ(t.real(0, FieldId::Elev), 1000.0);
    EXPECT_THROW(t.fieldByName("Lat").setAsFloat(1), std::logic_error);  // browsing
}

TEST(DataTable, NamesAreCutByCharacterNotByteAndFileNamesNever) {
    DataTable t;
    t.append();
    std::string cyrillic;
    for (int i = 0; i < 70; ++i) cyrillic += "Ж";
    t.fieldByName("Name").setAsString(cyrillic);
    t.post();
    EXPECT_EQ(t.text(0, FieldId::Name).size(), 128u);  // 64 two-byte characters
    t.edit();
    t.fieldByName("Name").setAsString(std::string(70, '\xC6'));  // Windows-1251 bytes
    t.post();
    EXPECT_EQ(t.text(0, FieldId::Name).size(), 64u);
    EXPECT_EQ(t.displayText(0, FieldId::Name).substr(0, 2), "Ж");
    // Cut, a path would name its folder or another file.
    const std::string path = "/" + std::string(300, 'd') + "/" + cyrillic + ".JPG";
    t.edit();
    t.fieldByName("FileName").setAsString(path);
    t.post();
    EXPECT_EQ(t.text(0, FieldId::FileName), path);
}

TEST(DataTable, CursorAndPendingRows) {
    DataTable t;
    appendRow(t, "T", "a", 1);
    appendRow(t, "T", "b", 2);
    EXPECT_EQ(t.creationNumber(0), 1u);
    EXPECT_EQ(t.creationNumber(1), 2u);

    // A new row left unchanged disappears when the cursor moves away.
    t.append();
    EXPECT_EQ(t.rowCount(), 3u);
    t.first();
    EXPECT_EQ(t.rowCount(), 2u);

    // A changed new row is posted by the move.
    t.append();
    t.fieldByName("Name").setAsString("c");
    t.first();
    EXPECT_EQ(t.rowCount(), 3u);
    EXPECT_EQ(t.creationNumber(2), 3u);

    // Insert goes before the current row.
    t.moveTo(1);
    t.insert();
    t.fieldByName("Name").setAsString("x");
    t.post();
    EXPECT_EQ(names(t), "a x b c ");

    // next past the last row sets eof; prior from the first sets bof.
    t.first();
    int seen = 0;
    while (!t.eof()) {
        ++seen;
        t.next();
    }
    EXPECT_EQ(seen, 4);
    t.first();
    t.prior();
    EXPECT_TRUE(t.bof());

    t.moveTo(1);
    t.deleteRow();
    EXPECT_EQ(names(t), "a b c ");
}

TEST(DataTable, SortIsStableByCreationNumber) {
    DataTable t;
    appendRow(t, "T", "late", 5);
    appendRow(t, "F", "p1", 3);
    appendRow(t, "T", "t1", 3);
    appendRow(t, "F", "p2", 3);
    t.append();
    t.fieldByName("Name").setAsString("empty");  // no VTime: sorts first
    t.post();
    t.moveTo(0);  // "late" stays current
    t.sortBy(FieldId::VTime);
    EXPECT_EQ(names(t), "empty p1 t1 p2 late ");
    EXPECT_EQ(t.text(t.recNo(), FieldId::Name), "late");
    t.sortBy(FieldId::VTime);
    EXPECT_EQ(names(t), "empty p1 t1 p2 late ");

    // Times within the same millisecond are equal and keep their order.
    DataTable u;
    appendRow(u, "T", "b", 40513.5 + 0.2 / kMsPerDay);
    appendRow(u, "T", "a", 40513.5 - 0.3 / kMsPerDay);
    u.sortBy(FieldId::VTime);
    EXPECT_EQ(names(u), "b a ");
}

namespace {
struct Recorder : DataTableListener {
    std::string log;
    void beginInsertRow(std::size_t r) override { log += "+" + std::to_string(r); }
    void endInsertRow() override {}
    void beginRemoveRow(std::size_t r) override { log += "-" + std::to_string(r); }
    void endRemoveRow() override {}
    void rowChanged(std::size_t) override {}
    void tableReset() override { log += "R"; }
};
}  // namespace

TEST(DataTable, SuspendedDisplayReportsOneReset) {
    DataTable t;
    Recorder rec;
    t.setListener(&rec);
    appendRow(t, "T", "a", 1);
    EXPECT_EQ(rec.log, "+0");
    rec.log.clear();
    t.suspendDisplay();
    t.suspendDisplay();
    for (int i = 0; i < 100; ++i) appendRow(t, "T", "b", i);
    t.resumeDisplay();
    EXPECT_EQ(rec.log, "");
    t.resumeDisplay();
    EXPECT_EQ(rec.log, "R");
    t.resumeDisplay();  // unbalanced resume is harmless
    EXPECT_EQ(t.suspendCount(), 0);
}

// Texts are kept in the row up to 15 bytes and apart beyond; either kind must
// follow its row through a sort of many rows, a copy of the table, an edit
// that is cancelled and one that sets a row's text from itself.
TEST(DataTable, TextsOfEveryLengthFollowTheirRow) {
    DataTable t;
    auto nameOf = [](int i) { return std::to_string(i) + std::string(static_cast<std::size_t>(i % 40), 'n'); };
    auto fileOf = [](int i) { return i % 3 ? "/photos/" + std::to_string(i) + "/" + std::string(100, 'f') : ""; };
    constexpr int kRows = 1000;
    for (int i = 0; i < kRows; ++i) {
        appendRow(t, "T", nameOf(i).c_str(), 40000 + (i * 7919) % kRows);  // times in a scrambled order
        t.setText(t.recNo(), FieldId::FileName, fileOf(i));
    }
    t.sortBy(FieldId::VTime);
    auto check = [&](const DataTable& table) {
        for (std::size_t r = 0; r < table.rowCount(); ++r) {
            const int i = std::stoi(std::string(table.text(r, FieldId::Name)));
            ASSERT_EQ(table.text(r, FieldId::Name), nameOf(i));
            ASSERT_EQ(table.text(r, FieldId::FileName), fileOf(i));
            ASSERT_EQ(table.real(r, FieldId::VTime), 40000 + (i * 7919) % kRows);
        }
    };
    check(t);
    check(*t.copyRows());

    t.moveTo(5);
    const std::string before(t.text(5, FieldId::Name));
    t.edit();
    t.setText(5, FieldId::Name, std::string(64, 'x'));
    t.cancel();
    EXPECT_EQ(t.text(5, FieldId::Name), before);
    for (std::size_t r : {std::size_t{1}, std::size_t{5}}) {
        const std::string own(t.text(r, FieldId::FileName));
        t.setText(r, FieldId::FileName, t.text(r, FieldId::FileName));
        t.setText(r, FieldId::Name, t.text(r, FieldId::Name).substr(1));
        EXPECT_EQ(t.text(r, FieldId::FileName), own);
    }
    EXPECT_EQ(t.text(5, FieldId::Name), before.substr(1));
}

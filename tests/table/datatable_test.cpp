#include "table/datatable.h"

#include <gtest/gtest.h>

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
                              "PathIndex", "VTime", "Type", "VLat", "VLon", "VElev", "FileName"};
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
    // An unplaced photograph shows no position and no leg.
    EXPECT_EQ(t.displayText(0, FieldId::Type), "Фото");
    EXPECT_EQ(t.displayText(0, FieldId::VLat), "0 00.0000 N");
    EXPECT_EQ(t.displayText(0, FieldId::VLon), "0 00.0000 E");
    EXPECT_EQ(t.displayText(0, FieldId::VElev), "0");
    EXPECT_EQ(t.displayText(0, FieldId::Dist), "");
    EXPECT_EQ(t.displayText(0, FieldId::Speed), "");
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

TEST(DataTable, NamesAreCutByCharacterNotByte) {
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

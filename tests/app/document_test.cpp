// The document as the one owner of the table: while long work holds the
// rows, every change a person can make is refused with the reason, and the
// work's result comes in whole; the ways a loaded file is known again.
#include "app/document.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <unistd.h>

#include "app/sourceidentity.h"
#include "app/tagwrite.h"
#include "binding/bindingrows.h"
#include "support/documentrows.h"
#include "support/fakeconsole.h"
#include "support/fakesessions.h"
#include "support/tempdir.h"

namespace geovanta {
namespace {

using test::add;
using test::at;

struct Change {
    const char* name;
    std::function<std::optional<std::string>(Document&)> make;
};

// A track, a photograph placed by the pass and one placed by hand, with
// that placement on the undo stack.
void fill(Document& document) {
    DataTable& t = test::rowsOf(document);
    add(t, "T", "T01-0001", at(10, 0, 0), 64.0, -21.9, 100);
    add(t, "T", "T01-0002", at(10, 5, 0), 64.01, -21.9, 120);
    add(t, "F", "IMG_A", at(10, 1, 0));
    add(t, "F", "IMG_B", at(10, 2, 0));
    t.setText(test::find(t, "IMG_A"), FieldId::FileName, "/photos/IMG_A.JPG");
    t.setText(test::find(t, "IMG_B"), FieldId::FileName, "/photos/IMG_B.JPG");
    document.placeByHand({test::find(t, "IMG_B")}, 64.005, -21.9);
    document.moveTo(test::find(t, "IMG_B"));
}

std::string digest(const DataTable& t) {
    std::string out;
    for (std::size_t row = 0; row < t.rowCount(); ++row)
        for (FieldId f : {FieldId::Stat, FieldId::Name, FieldId::Lat, FieldId::Lon, FieldId::Elev})
            out += t.asString(row, f) + (t.placedByHand(row) ? "*" : "") + "|";
    return out;
}

const Change kChanges[] = {
    {"edit", [](Document& d) { return d.setField(0, FieldId::Name, "Start"); }},
    {"insert", [](Document& d) { return d.insertRow(); }},
    {"append", [](Document& d) { return d.appendRow(); }},
    {"delete", [](Document& d) { return d.deleteCurrentRow(); }},
    {"place by hand", [](Document& d) { return d.placeByHand({2}, 64.002, -21.9).refusal; }},
    {"give back", [](Document& d) { return d.releaseHand(d.table().recNo()).refusal; }},
    {"undo", [](Document& d) { return d.undoHand().refusal; }},
    {"redo", [](Document& d) { d.undoHand(); return d.redoHand().refusal; }},
    {"clear", [](Document& d) { return d.clear(); }},
    {"write tags", [](Document& d) {
         static test::FakeConsole console;
         const auto sessions = std::make_shared<test::FakeSessions>();
         return TagWrite::begin(d, console, sessions, TagWrite::Scope::All, {}).refusal;
     }},
};

class HeldTable : public ::testing::TestWithParam<Change> {};

// A load works on a copy of the rows, which takes the table's place when it
// is done: a change made meanwhile would vanish without a word. Each is
// refused with the reason instead, and the load's rows come in whole.
TEST_P(HeldTable, AChangeWhileWorkHoldsTheTableIsRefusedAndNothingIsLost) {
    Document document(ProgramState{}, SettingsFile(std::string()));
    fill(document);
    const std::string before = digest(document.table());
    std::optional<Document::Lease> load = document.lease("walk.plt");
    ASSERT_TRUE(load);
    std::unique_ptr<DataTable> copy = document.table().copyRows();
    add(*copy, "T", "T02-0001", at(10, 6, 0), 64.02, -21.9, 130);

    const std::optional<std::string> refused = GetParam().make(document);
    ASSERT_TRUE(refused);
    EXPECT_NE(refused->find("walk.plt"), std::string::npos) << *refused;
    EXPECT_EQ(digest(document.table()), before);

    load->replaceRows(*copy);
    load.reset();
    EXPECT_EQ(document.table().rowCount(), 5u) << "the load's rows are all there";
    EXPECT_FALSE(document.busy());
    EXPECT_FALSE(GetParam().make(document)) << "and once free the change is made";
}

INSTANTIATE_TEST_SUITE_P(EveryChange, HeldTable, ::testing::ValuesIn(kChanges),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             std::erase(name, ' ');
                             return name;
                         });

// A file known again: by its path whatever became of its inode, by its inode
// only when the old path no longer leads to it and its size and time are
// those of the file loaded.
TEST(SourceIdentity, APathOrARenamedFile) {
    test::TempDir dir;
    namespace fs = std::filesystem;
    const std::string a = dir.write("a.plt", "track A");
    const SourceIdentity loaded = SourceIdentity::of(a);
    EXPECT_TRUE(SourceIdentity::of(dir.folder() + "./a.plt").sameAs(loaded)) << "another spelling";

    // An editor saves by writing a new file and renaming it over the old.
    dir.write("a.plt.new", "track A, edited");
    fs::rename(dir.file("a.plt.new"), a);
    EXPECT_TRUE(SourceIdentity::of(a).sameAs(loaded));

    // Renamed: the same file under a new name, its old name gone.
    const SourceIdentity edited = SourceIdentity::of(a);
    fs::rename(a, dir.file("b.plt"));
    EXPECT_TRUE(SourceIdentity::of(dir.file("b.plt")).sameAs(edited));

    // Another name of a file still there is another file loaded.
    fs::create_hard_link(dir.file("b.plt"), dir.file("c.plt"));
    EXPECT_FALSE(SourceIdentity::of(dir.file("c.plt")).sameAs(SourceIdentity::of(dir.file("b.plt"))));

    // A new file on the inode of one deleted: its size and time are its own.
    SourceIdentity reused = SourceIdentity::of(dir.file("b.plt"));
    SourceIdentity deleted = reused;
    deleted.canonical = dir.file("gone.plt");
    deleted.stamp->size += 1;
    EXPECT_FALSE(reused.sameAs(deleted));
    deleted.stamp->size -= 1;
    EXPECT_TRUE(reused.sameAs(deleted)) << "the same file would have been renamed";
}

}  // namespace
}  // namespace geovanta

namespace geovanta {
namespace {

// A privacy zone holds no photograph: one cannot be put there by hand, and
// one put there before the zone was drawn is not written.
TEST(PrivacyZonesInTheDocument, NothingPlacedByHandOrWrittenInside) {
    Document document(ProgramState{}, SettingsFile(std::string()));
    fill(document);
    CalcPositions(test::rowsOf(document), document.params());
    document.state().privacyZones = {{"Дом", 64.005, -21.9, 200}};
    const DataTable& t = document.table();
    const auto refused = document.placeByHand({test::find(t, "IMG_A")}, 64.0051, -21.9);
    ASSERT_TRUE(refused.refusal);
    EXPECT_NE(refused.refusal->find("Дом"), std::string::npos);

    test::FakeConsole console;
    const auto sessions = std::make_shared<test::FakeSessions>();
    TagWrite::Settings settings;
    settings.content = tagContent(document.state());
    const auto outcome =
        TagWrite::writeInline(document, console, sessions, TagWrite::Scope::All, settings);
    ASSERT_TRUE(outcome);
    // IMG_A placed by the pass outside the zone is tried (its file is not
    // there); IMG_B, put inside by hand before the zone was drawn, is not.
    EXPECT_EQ(outcome->notPlaced, 1);
    ASSERT_EQ(outcome->failures.size(), 1u);
    EXPECT_NE(outcome->failures[0].find("IMG_A"), std::string::npos);
}

}  // namespace
}  // namespace geovanta

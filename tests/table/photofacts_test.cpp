// What a photograph's file told of its camera and position: kept with its
// row through everything the table does to rows, and the Camera column's
// text with as much of a serial as tells two bodies apart.
#include "table/photofacts.h"

#include <gtest/gtest.h>

#include <string>

#include "table/datatable.h"

using namespace geovanta;

TEST(PhotoFacts, SerialEndsTellBodiesApart) {
    const CameraKey r5a{"Canon", "Canon EOS R5", "031021001234"}, r5b{"Canon", "Canon EOS R5", "031021005678"};
    const CameraKey r5c{"Canon", "Canon EOS R5", "123455678"};  // the same last four as r5b
    const CameraKey r6{"Canon", "Canon EOS R6", "1111"}, bare{"Canon", "Canon EOS R5", ""};
    struct Case {
        std::vector<const CameraKey*> cameras;
        std::vector<std::size_t> ends;
    };
    const Case cases[] = {
        {{&r5a}, {0}},
        {{&r5a, &r6}, {0, 0}},
        {{&r5a, &bare}, {0, 0}},  // a body without a serial may be either
        {{&r5a, &r5b, &r6, &bare}, {4, 4, 0, 0}},
        {{&r5a, &r5b, &r5c}, {5, 5, 5}},
    };
    for (const Case& c : cases) EXPECT_EQ(serialEnds(c.cameras), c.ends);
    EXPECT_EQ(cameraText(r5a, 4), "Canon EOS R5 …1234");
    EXPECT_EQ(cameraText(r5a), "Canon EOS R5");
    EXPECT_EQ(cameraText({"SIGMA", "", "42"}), "SIGMA");
    // One body's number with and without its leading zeros; not a text's.
    EXPECT_EQ((CameraKey{"Canon", "EOS 350D", "0012345678"}), (CameraKey{"Canon", "EOS 350D", "12345678"}));
    EXPECT_EQ(CameraKeyHash()({"Canon", "EOS 350D", "0012345678"}), CameraKeyHash()({"Canon", "EOS 350D", "12345678"}));
    EXPECT_NE((CameraKey{"NIKON", "D70", "NO= 0012"}), (CameraKey{"NIKON", "D70", "NO= 12"}));
    EXPECT_NE((CameraKey{"Canon", "EOS 350D", "12"}), (CameraKey{"Canon", "EOS 350D", "21"}));
}

namespace {

std::size_t addRow(DataTable& t, char stat, const char* name, double vtime, const PhotoFacts& facts = {}) {
    t.append();
    const std::size_t row = t.recNo();
    t.setText(row, FieldId::Stat, std::string(1, stat));
    t.setText(row, FieldId::Name, name);
    t.setDateTime(row, FieldId::VTime, vtime);
    if (stat == 'F') t.setFileStamp(row, FileStamp{1, static_cast<uint64_t>(row), 0, 0});
    if (facts != PhotoFacts{}) t.setPhotoFacts(row, facts);
    t.post();
    return row;
}

// Each row's name and its camera's serial and latitude, or "-".
std::string factsOf(const DataTable& t) {
    std::string out;
    for (std::size_t row = 0; row < t.rowCount(); ++row) {
        const PhotoFacts f = t.photoFacts(row);
        out += std::string(t.text(row, FieldId::Name)) + ":" + (f.camera.empty() ? "-" : f.camera.serial) + "/" +
               (f.gps ? std::to_string(static_cast<int>(f.gps->lat)) : "-") + " ";
    }
    return out;
}

const PhotoFacts kBodyA{{"Canon", "Canon EOS R5", "1234"}, PhotoGps{55, 37, 120, 0}};
const PhotoFacts kBodyB{{"Canon", "Canon EOS R5", "5678"}, std::nullopt};

}  // namespace

TEST(PhotoFacts, TravelWithTheirRow) {
    DataTable t;
    addRow(t, 'T', "t2", 4);
    addRow(t, 'F', "b", 3, kBodyB);
    addRow(t, 'F', "a", 2, kBodyA);
    addRow(t, 'F', "c", 1);
    t.sortBy(FieldId::VTime);
    EXPECT_EQ(factsOf(t), "c:-/- a:1234/55 b:5678/- t2:-/- ");
    EXPECT_EQ(t.camera(3), nullptr);
    EXPECT_EQ(t.cameraText(3), "");
    EXPECT_EQ(t.displayText(1, FieldId::Camera), "Canon EOS R5 …1234");

    // An edit that is cancelled gives back the facts and the stamp as they were.
    const FileStamp stampA = *t.fileStamp(1);
    t.moveTo(1);
    t.edit();
    t.setPhotoFacts(1, kBodyB);
    t.setFileStamp(1, FileStamp{9, 9, 9, 9});
    t.setPhotoFacts(1, {});
    t.cancel();
    EXPECT_EQ(t.photoFacts(1), kBodyA);
    EXPECT_EQ(*t.fileStamp(1), stampA);
    // A row without a stamp keeps its facts.
    t.edit();
    t.field(FieldId::FileStamp).clear();
    t.post();
    EXPECT_EQ(t.fileStamp(1), nullptr);
    EXPECT_EQ(t.photoFacts(1), kBodyA);

    // Long work on a copy, taken back whole; rows removed.
    const auto copy = t.copyRows();
    copy->setPhotoFacts(0, kBodyA);
    EXPECT_EQ(factsOf(t), "c:-/- a:1234/55 b:5678/- t2:-/- ");
    t.takeRows(*copy);
    EXPECT_EQ(factsOf(t), "c:1234/55 a:1234/55 b:5678/- t2:-/- ");
    t.removeRowsIf([&](std::size_t row) { return t.text(row, FieldId::Name) == "a"; });
    EXPECT_EQ(factsOf(t), "c:1234/55 b:5678/- t2:-/- ");

    // Rows of a scan's own table, appended and refreshed in place.
    DataTable scanned;
    addRow(scanned, 'F', "d", 5, kBodyB);
    addRow(scanned, 'F', "b", 3, kBodyA);
    addRow(scanned, 'F', "c", 1);
    t.appendCopyOf(scanned, 0);
    t.overwriteRow(1, scanned, 1);
    t.overwriteRow(0, scanned, 2);
    EXPECT_EQ(factsOf(t), "c:-/- b:1234/55 t2:-/- d:5678/- ");
    EXPECT_EQ(t.cameraText(1), "Canon EOS R5 …1234");
    // With body B gone, body A is the only R5 left.
    t.moveTo(3);
    t.deleteRow();
    EXPECT_EQ(t.cameraText(1), "Canon EOS R5");
}

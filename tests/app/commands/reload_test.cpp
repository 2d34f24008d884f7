// Loading again what was loaded: a file saved by an editor replaces its
// points, a file damaged since keeps them, a photograph saved again by
// another program keeps its row and its place by hand, and photographs gone
// from their folder leave the table.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/commands/photoloadcommand.h"
#include "app/commands/trackloadcommand.h"
#include "app/document.h"
#include "app/inlinejobrunner.h"
#include "input/exiffixtures.h"
#include "input/ozifileheaders.h"
#include "support/fakedialogs.h"
#include "support/language.h"
#include "support/tempdir.h"
#include "table/datatable.h"

namespace geovanta {
namespace {

namespace fs = std::filesystem;

struct Fixture {
    test::TempDir dir;
    test::FakeDialogs dialogs;
    Document document{ProgramState{}, SettingsFile::inFolder(dir.folder())};
    InlineJobRunner jobs{document};
    TrackLoadCommand tracks{dialogs, document, jobs};
    PhotoLoadCommand photos{dialogs, document, jobs};

    std::size_t rows(char stat) const {
        std::size_t n = 0;
        for (std::size_t r = 0; r < document.table().rowCount(); ++r) n += document.table().stat(r) == stat;
        return n;
    }
    // Saved as editors save: a new file renamed over the old one.
    void save(const std::string& name, const std::string& bytes) {
        dir.write(name + ".tmp", bytes);
        fs::rename(dir.file(name + ".tmp"), dir.file(name));
    }
};

std::string track(int points) {
    std::string text(test::kPltHeader);
    for (int i = 0; i < points; ++i) text += "64.1" + std::to_string(i) + ",-21.9,0,100,40513.5" + std::to_string(i) + "\r\n";
    return text;
}

TEST(Reload, ATrackSavedByAnEditorReplacesItsPointsADamagedOneKeepsThem) {
    test::LanguageScope english(Language::English);
    Fixture f;
    f.save("walk.plt", track(3));
    f.tracks.load(f.dir.file("walk.plt"));
    ASSERT_EQ(f.rows('T'), 3u);
    f.save("walk.plt", track(4));
    f.tracks.load(f.dir.folder() + "./walk.plt");
    EXPECT_EQ(f.rows('T'), 4u) << "replaced, not added: the same path, a new inode";

    f.dialogs.messages.clear();
    f.save("walk.plt", track(2) + "64.5,-21.9,0,100,not a time\r\n");
    f.tracks.load(f.dir.file("walk.plt"));
    EXPECT_EQ(f.rows('T'), 4u) << "the earlier load's points stay";
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_NE(f.dialogs.messages[0].text.find("points of its earlier load are kept"), std::string::npos)
        << f.dialogs.messages[0].text;

    fs::remove(f.dir.file("walk.plt"));
    f.tracks.load(f.dir.file("walk.plt"));
    EXPECT_EQ(f.rows('T'), 4u) << "nor does a file gone take its points with it";
}

TEST(Reload, APhotoSavedAgainKeepsItsRowAndPlaceAPhotoGoneLeaves) {
    test::LanguageScope english(Language::English);
    Fixture f;
    fs::create_directory(f.dir.file("trip"));
    const auto photo = [&](const char* name, const char* date) {
        const test::Bytes bytes = test::JpegBuilder().exif(test::TiffBuilder(false).ascii(test::TiffBuilder::Exif, 0x9003, date).build()).startOfScan().build();
        f.dir.write(std::string("trip/") + name + ".tmp", bytes);
        fs::rename(f.dir.file(std::string("trip/") + name + ".tmp"), f.dir.file(std::string("trip/") + name));
    };
    photo("IMG_1.JPG", "2010:12:01 12:00:00");
    photo("IMG_2.JPG", "2010:12:01 12:01:00");
    f.photos.load(f.dir.file("trip"));
    ASSERT_EQ(f.rows('F'), 2u);
    const auto row1 = [&] {
        for (std::size_t r = 0; r < f.document.table().rowCount(); ++r)
            if (f.document.table().text(r, FieldId::Name) == "IMG_1") return r;
        return f.document.table().rowCount();
    };
    ASSERT_FALSE(f.document.placeByHand({row1()}, 64.1, -21.9).refusal);

    photo("IMG_1.JPG", "2010:12:01 12:00:30");  // another program wrote it anew
    fs::remove(f.dir.file("trip/IMG_2.JPG"));
    f.dialogs.messages.clear();
    f.photos.load(f.dir.file("trip") + "/");
    ASSERT_EQ(f.rows('F'), 1u);
    EXPECT_TRUE(f.document.table().placedByHand(row1()));
    EXPECT_EQ(f.document.table().real(row1(), FieldId::Lat), 64.1);
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_EQ(f.dialogs.messages[0].text,
              "Photographs no longer on the disk, taken out of the table: 1 (" + f.dir.file("trip") + "/)");
}

}  // namespace
}  // namespace geovanta

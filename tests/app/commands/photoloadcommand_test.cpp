#include "app/commands/photoloadcommand.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/programstate.h"
#include "app/settings.h"
#include "input/photoscanner.h"
#include "input/exiffixtures.h"
#include "support/fakedialogs.h"
#include "support/lentdocument.h"
#include "table/datatable.h"
#include "support/language.h"

using namespace geovanta;
using namespace geovanta::test;

namespace {

struct Fixture {
    TempDir exeDir, photos;
    FakeDialogs dialogs;
    DataTable table;
    ProgramState state;
    SettingsFile settings = SettingsFile::inFolder(exeDir.folder());
    Fixture() {
        state.photoFolder = "/previous/";
        photos.write("a.jpg", JpegBuilder().app0().startOfScan().build());
        photos.write("b.JPG", JpegBuilder().app0().startOfScan().build());
    }
    void run(const SettingsFile& with) {
        test::withDocument(table, state, with,
                           [&](Document& d, JobRunner& jobs) { PhotoLoadCommand(dialogs, d, jobs).run(); });
    }
    void run() { run(settings); }
    std::string savedFolder() const { return settings.read("<none>").photoFolder; }
};

}  // namespace

TEST(PhotoLoadCommand, ScansTheTypedFolderAndSavesItAsTyped) {
    Fixture f;
    const std::string typed = f.photos.path().string();  // no trailing separator
    f.dialogs.photoFolderAnswers.push_back(typed);
    f.run();
    EXPECT_EQ(f.dialogs.photoFolderShown, std::vector<std::string>{"/previous/"});
    EXPECT_TRUE(f.dialogs.messages.empty());
    EXPECT_EQ(f.state.photoFolder, typed);
    EXPECT_EQ(f.savedFolder(), typed);
    EXPECT_EQ(f.table.rowCount(), 2u);
    EXPECT_EQ(f.table.lastScanPhotoCount(), 2);
}

// A folder typed relative to the working folder is kept and saved absolute,
// under the name typed: a link is not resolved to where it leads.
TEST(PhotoLoadCommand, ARelativeFolderIsSavedAbsoluteUnderItsOwnName) {
    Fixture f;
    std::filesystem::create_directory_symlink(f.photos.path(), f.exeDir.path() / "trip");
    {
        WorkingFolder inside(f.exeDir.path());
        f.dialogs.photoFolderAnswers.push_back("./trip/");
        f.run();
    }
    const std::string absolute = f.exeDir.folder() + "trip/";
    EXPECT_TRUE(f.dialogs.messages.empty());
    EXPECT_EQ(f.state.photoFolder, absolute);
    EXPECT_EQ(f.savedFolder(), absolute);
    ASSERT_EQ(f.table.rowCount(), 2u);
    EXPECT_EQ(f.table.text(0, FieldId::FileName).substr(0, absolute.size()), absolute)
        << "the photographs are named from the folder as kept";
}

// The checkbox shows the last choice, which is saved as "Recursive" and read
// again at the next start.
TEST(PhotoLoadCommand, TheSubfolderChoiceIsShownSavedAndUsed) {
    Fixture f;
    std::filesystem::create_directory(f.photos.path() / "inner");
    f.photos.write("inner/c.jpg", JpegBuilder().app0().startOfScan().build());
    for (const bool withSubfolders : {true, false}) {
        f.dialogs.photoFolderAnswers.push_back(f.photos.folder());
        f.dialogs.photoSubfoldersAnswers.push_back(withSubfolders);
        f.run();
        EXPECT_EQ(f.table.lastScanPhotoCount(), withSubfolders ? 3 : 2);
        EXPECT_EQ(f.settings.read("<none>").photoSubfolders, withSubfolders);
    }
    EXPECT_EQ(f.dialogs.photoSubfoldersShown, (std::vector<bool>{false, true}));
    EXPECT_TRUE(f.dialogs.messages.empty());
}

// The text of an EXIF date that is no date reaches the document's table, and
// stays when the folder is loaded again.
TEST(PhotoLoadCommand, AnInvalidExifDateStaysWithItsRow) {
    Fixture f;
    TiffBuilder t(false);
    t.ascii(TiffBuilder::Exif, 0x9003, "2021:02:30 10:00:00");
    f.photos.write("c.jpg", JpegBuilder().exif(t.build()).startOfScan().build());
    for (int load = 0; load < 2; ++load) {
        f.dialogs.photoFolderAnswers.push_back(f.photos.folder());
        f.run();
        ASSERT_EQ(f.table.rowCount(), 3u);
        std::size_t row = 0;
        while (f.table.text(row, FieldId::Name) != "c") ++row;
        EXPECT_EQ(f.table.timeSource(row), kTimeFromFileDateExifInvalid);
        EXPECT_EQ(f.table.invalidExifDate(row), "2021:02:30 10:00:00");
    }
}

TEST(PhotoLoadCommand, CancelAndMissingFoldersChangeNothing) {
    geovanta::test::LanguageScope russian(Language::Russian);
    Fixture f;
    f.dialogs.photoFolderAnswers.push_back(std::nullopt);
    f.run();
    const std::string missing = f.photos.folder() + "nowhere";
    f.dialogs.photoFolderAnswers.push_back(missing);
    f.run();
    f.dialogs.photoFolderAnswers.push_back(f.photos.folder() + "a.jpg");  // a file is no folder
    f.run();
    f.dialogs.photoFolderAnswers.push_back("");
    f.run();

    ASSERT_EQ(f.dialogs.messages.size(), 3u);
    EXPECT_EQ(f.dialogs.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(f.dialogs.messages[0].text, "Папка не найдена: " + missing);
    EXPECT_EQ(f.state.photoFolder, "/previous/");
    EXPECT_EQ(f.savedFolder(), "<none>");
    EXPECT_EQ(f.table.rowCount(), 0u);
}

TEST(PhotoLoadCommand, FailuresGoToTheGeneralErrorDisplay) {
    geovanta::test::LanguageScope russian(Language::Russian);
    Fixture f;
    // The settings file cannot be written: no scan, though the folder is taken.
    const SettingsFile unwritable("/nonexistent-folder/Geovanta.ini");
    f.dialogs.photoFolderAnswers.push_back(f.photos.folder());
    f.run(unwritable);
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_EQ(f.dialogs.messages[0].kind, MessageKind::Failure);
    EXPECT_EQ(f.dialogs.messages[0].text, "Не удаётся записать в /nonexistent-folder/Geovanta.ini.");
    EXPECT_EQ(f.state.photoFolder, f.photos.folder());
    EXPECT_EQ(f.table.rowCount(), 0u);

    // A damaged photograph is named at the end; the others are loaded.
    const std::string bad = f.photos.write("c.jpg", Bytes{0xFF, 0xD8, 0xFF});
    f.dialogs.photoFolderAnswers.push_back(f.photos.folder());
    f.run();
    ASSERT_EQ(f.dialogs.messages.size(), 2u);
    EXPECT_EQ(f.dialogs.messages[1].kind, MessageKind::Failure);
    EXPECT_EQ(f.dialogs.messages[1].text,
              "Не все файлы удалось прочитать, остальные фотографии загружены:\n" + bad + ": Чтение за концом файла.");
    EXPECT_EQ(f.table.rowCount(), 2u);
    EXPECT_EQ(f.savedFolder(), f.photos.folder());
}

TEST(PhotoLoadCommand, ALongListOfLeftOutFilesIsCut) {
    geovanta::test::LanguageScope russian(Language::Russian);
    PhotoScanResult result;
    for (int k = 0; k < 25; ++k) result.leftOut.push_back({"/p/" + std::to_string(k) + ".jpg", "Read beyond end of file"});
    const std::string text = PhotoLoadCommand::leftOutMessage(result);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 21);
    EXPECT_NE(text.find("/p/19.jpg: Read beyond end of file\n… и ещё 5"), std::string::npos) << text;
    EXPECT_EQ(text.find("/p/20.jpg"), std::string::npos);
}

TEST(PhotoLoadCommand, AFolderLoadedAgainRefreshesItsRowsInPlace) {
    Fixture f;
    f.dialogs.photoFolderAnswers.push_back(f.photos.folder());
    f.run();
    ASSERT_EQ(f.table.rowCount(), 2u);
    std::vector<uint64_t> before;
    for (std::size_t r = 0; r < 2; ++r) before.push_back(f.table.creationNumber(r));
    const FileStamp oldStamp = *f.table.fileStamp(0);

    // One photograph changed on disk, and the folder is named another way.
    const std::string changed(f.table.text(0, FieldId::FileName));
    f.photos.write(std::filesystem::path(changed).filename().string(),
                   JpegBuilder().app0().comment("edited").startOfScan().build());
    f.photos.write("c.jpg", JpegBuilder().app0().startOfScan().build());
    f.dialogs.photoFolderAnswers.push_back(f.photos.folder() + "./");
    f.run();

    EXPECT_TRUE(f.dialogs.messages.empty());
    ASSERT_EQ(f.table.rowCount(), 3u) << "the new photograph is added, the others are not repeated";
    std::vector<uint64_t> after;
    for (std::size_t r = 0; r < 3; ++r) after.push_back(f.table.creationNumber(r));
    for (uint64_t n : before) EXPECT_NE(std::find(after.begin(), after.end(), n), after.end());
    for (std::size_t r = 0; r < 3; ++r) {
        if (std::filesystem::path(std::string(f.table.text(r, FieldId::FileName))).filename() !=
            std::filesystem::path(changed).filename())
            continue;
        EXPECT_NE(*f.table.fileStamp(r), oldStamp) << "the row knows the file as it is now";
    }
}

// Where a portable and an installed copy keep their settings and find their
// helpers.
#include "app/programpaths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "app/settings.h"
#include "support/tempdir.h"

using namespace geovanta;
namespace fs = std::filesystem;

namespace {

constexpr const char* kAppId = "io.example.Test";

struct Tree {
    test::TempDir dir;
    ProgramPaths::Facts facts;

    Tree() {
        fs::create_directories(dir.path() / "bin");
        fs::create_directories(dir.path() / "usrbin");
        facts.executableFolder = dir.folder() + "bin/";
        facts.userConfigFolder = dir.folder() + "config/Geovanta/";
        facts.homeFolder = dir.folder() + "home/";
        facts.searchPath = "::" + dir.folder() + "nowhere:" + dir.folder() + "usrbin";
        facts.privateLibFolder = "../lib/geo";
        facts.dataFolder = "../share/geo";
        facts.appId = kAppId;
    }
    void installLayout() {
        fs::create_directories(dir.path() / "share" / "applications");
        dir.write(std::string("share/applications/") + kAppId + ".desktop", "[Desktop Entry]\n");
        fs::create_directories(dir.path() / "lib" / "geo");
        dir.write("lib/geo/liboziapi.so", "");
        fs::create_directories(dir.path() / "share" / "geo");
    }
};

}  // namespace

TEST(ProgramPaths, PortableCopyKeepsEverythingBesideItself) {
    Tree t;
    t.dir.script("usrbin/exiftool", "exit 0\n");
    ProgramPaths p = ProgramPaths::locate(t.facts);
    EXPECT_EQ(p.settingsFile, t.facts.executableFolder + "Geovanta.ini");
    EXPECT_EQ(p.startFolder, t.facts.executableFolder);
    EXPECT_EQ(p.oziLibrary, t.facts.executableFolder + "liboziapi.so");
    EXPECT_EQ(p.dataFolder, t.facts.executableFolder);
    // No ExifTool beside the program: the one on the search path.
    EXPECT_EQ(p.exifTool, t.dir.folder() + "usrbin/exiftool");

    // One beside the program wins, as it always has.
    t.dir.script("bin/exiftool", "exit 0\n");
    EXPECT_EQ(ProgramPaths::locate(t.facts).exifTool, t.facts.executableFolder + "exiftool");

    // Place data beside the program, where a portable copy carries them.
    fs::create_directories(t.dir.path() / "bin" / "places");
    EXPECT_EQ(ProgramPaths::locate(t.facts).placeData, t.facts.executableFolder + "places/");

    // None anywhere: the place beside the program, so a message names it.
    fs::remove(t.dir.path() / "bin" / "exiftool");
    fs::remove(t.dir.path() / "usrbin" / "exiftool");
    EXPECT_EQ(ProgramPaths::locate(t.facts).exifTool, t.facts.executableFolder + "exiftool");
}

TEST(ProgramPaths, InstalledCopyUsesTheUsersFoldersAndItsPrivateLibrary) {
    Tree t;
    t.installLayout();
    const ProgramPaths p = ProgramPaths::locate(t.facts);
    EXPECT_EQ(p.settingsFile, t.facts.userConfigFolder + "Geovanta.ini");
    EXPECT_EQ(p.startFolder, t.facts.homeFolder);
    EXPECT_EQ(p.oziLibrary, t.facts.executableFolder + "../lib/geo/liboziapi.so");
    EXPECT_EQ(p.dataFolder, t.facts.executableFolder + "../share/geo/");
    // Place data where the install puts them (and the build tree too).
    EXPECT_EQ(p.placeData, t.facts.executableFolder + "../share/geo/places/");
    // The first setting written makes the configuration folder.
    EXPECT_EQ(SettingsFile(p.settingsFile, !p.portable).writeString("DataPath", "/d/"), std::nullopt);
    EXPECT_TRUE(fs::is_regular_file(p.settingsFile));

    // A folder the user cannot write counts as installed too (root writes anywhere).
    if (::geteuid() != 0) {
        Tree readOnly;
        fs::permissions(readOnly.dir.path() / "bin", fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(ProgramPaths::locate(readOnly.facts).settingsFile, readOnly.facts.userConfigFolder + "Geovanta.ini");
        fs::permissions(readOnly.dir.path() / "bin", fs::perms::owner_all);
    }
}

TEST(ProgramPaths, BuildTreeHasThePlaceDataWhereTheProgramsLook) {
    // The tests run from the build's bin/, beside the programs.
    for (const char* file : {"borders.bin", "towns.tsv", "countries.tsv"})
        EXPECT_TRUE(fs::is_regular_file(defaultPlaceDataFolder() + file)) << defaultPlaceDataFolder() << file;
}

#include "app/settings.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "app/inifile.h"

using namespace geovanta;
namespace fs = std::filesystem;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("geovanta-settings-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        folder_ = dir_.string() + "/";
    }
    void TearDown() override {
        fs::permissions(dir_, fs::perms::owner_all);
        fs::remove_all(dir_);
    }
    void writeFile(const std::string& text) {
        std::ofstream(folder_ + "Geovanta.ini", std::ios::binary) << text;
    }
    std::string readFile() {
        std::ifstream in(folder_ + "Geovanta.ini", std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    fs::path dir_;
    std::string folder_;
};

}  // namespace

TEST_F(SettingsTest, DefaultsWithoutAFileAndNoFileCreated) {
    const ProgramState s = SettingsFile::inFolder(folder_).read(folder_);
    EXPECT_EQ(s.trackOffset, 0);
    EXPECT_EQ(s.photoOffset, 0);
    EXPECT_EQ(s.tolerance, 300);
    EXPECT_EQ(s.photoFolder, folder_);
    EXPECT_EQ(s.dataFolder, folder_);
    EXPECT_EQ(s.trackCounter, 0);
    EXPECT_FALSE(fs::exists(folder_ + "Geovanta.ini"));
}

TEST_F(SettingsTest, ReadsAFileWrittenByTheWindowsProfileFunctions) {
    writeFile("[Other]\r\nDeltaSec=1\r\n\r\n[setting]\r\n DeltaTrack = 0.0416666666666667\r\nDELTAFOTO=-1.5\r\n"
              "DeltaSec=0x10\r\nFotoPath=\"C:\\Photo Trips\\\"\r\nDataPath=\r\nRecursive=1\r\n"
              "PhotoZones=1\r\nWriteSidecars=1\r\nSidecarName=Full\r\n");
    const ProgramState s = SettingsFile::inFolder(folder_).read("/exe/");
    EXPECT_NEAR(s.trackOffset, 1.0 / 24, 1e-16);  // 15 digits: close, not exact
    EXPECT_EQ(s.photoOffset, -1.5);
    EXPECT_EQ(s.tolerance, 16);
    EXPECT_EQ(s.photoFolder, "C:\\Photo Trips\\");
    EXPECT_EQ(s.dataFolder, "");  // present but empty is not the default
    EXPECT_TRUE(s.photoSubfolders);
    EXPECT_TRUE(s.photoZones);
    EXPECT_EQ(s.writeTarget, WriteTarget::Sidecars);
    EXPECT_TRUE(s.sidecarFullName);
}

TEST_F(SettingsTest, UnparsableValuesReadAsDefaults) {
    writeFile("[Setting]\nDeltaTrack=abc\nDeltaFoto=0,5\nDeltaSec=12x\nRecursive=yes\nPhotoZones=on\n"
              "WriteSidecars=\nSidecarName=base\n");
    const ProgramState s = SettingsFile::inFolder(folder_).read(folder_);
    EXPECT_FALSE(s.photoSubfolders);
    EXPECT_FALSE(s.photoZones);
    EXPECT_EQ(s.writeTarget, WriteTarget::Photos);
    EXPECT_FALSE(s.sidecarFullName);
    EXPECT_EQ(s.trackOffset, 0);
    EXPECT_EQ(s.photoOffset, 0);
    EXPECT_EQ(s.tolerance, 300);
}

// The write's choices as the menu saves them and as they read back; the raw
// rule is a word of its own, which an older reader takes for "into the photos".
TEST_F(SettingsTest, TheWritesChoicesRoundTrip) {
    const SettingsFile file = SettingsFile::inFolder(folder_);
    for (WriteTarget target : {WriteTarget::RawSidecars, WriteTarget::Sidecars, WriteTarget::Photos}) {
        ASSERT_FALSE(file.writeTarget(target));
        EXPECT_EQ(file.read(folder_).writeTarget, target);
    }
    ASSERT_FALSE(file.writeInteger(SettingsFile::kKeepExistingKey, 1));
    ASSERT_FALSE(file.writeInteger(SettingsFile::kClearUnplacedKey, 1));
    ProgramState s = file.read(folder_);
    EXPECT_TRUE(s.keepExisting);
    EXPECT_TRUE(s.clearUnplaced);
    writeFile("[Setting]\nWriteSidecars=RAW\nKeepExisting=no\n");
    s = file.read(folder_);
    EXPECT_EQ(s.writeTarget, WriteTarget::RawSidecars);
    EXPECT_FALSE(s.keepExisting);
    EXPECT_FALSE(s.clearUnplaced);
}

TEST_F(SettingsTest, ExifToolTimeoutBelowOneOrUnreadableIsSixty) {
    for (const auto& [text, seconds] : {std::pair{"", 60}, std::pair{"ExifToolTimeout=5\n", 5},
                                        std::pair{"ExifToolTimeout=0\n", 60}, std::pair{"ExifToolTimeout=-3\n", 60},
                                        std::pair{"ExifToolTimeout=ten\n", 60}}) {
        writeFile(std::string("[Setting]\n") + text);
        EXPECT_EQ(SettingsFile::inFolder(folder_).read(folder_).exifToolTimeout, seconds) << text;
    }
}

TEST_F(SettingsTest, LongValuesAreCut) {
    writeFile("[Setting]\nFotoPath=" + std::string(5000, 'a') + "\n");
    EXPECT_EQ(SettingsFile::inFolder(folder_).read(folder_).photoFolder.size(), 2047u);
}

TEST_F(SettingsTest, WritesOneKeyAtATimeKeepingTheRest) {
    writeFile("; kept\r\n[Setting]\r\nDataPath=/data/\r\n[Other]\r\nX=1\r\n");
    const SettingsFile file = SettingsFile::inFolder(folder_);
    EXPECT_FALSE(file.writeFloat("DeltaTrack", 0.0));
    EXPECT_FALSE(file.writeFloat("DeltaFoto", -1.0 / 24));
    EXPECT_FALSE(file.writeInteger("DeltaSec", 300));
    EXPECT_FALSE(file.writeString("DataPath", "/new path/"));
    EXPECT_EQ(readFile(),
              "; kept\r\n[Setting]\r\nDataPath=/new path/\r\nDeltaTrack=0\r\nDeltaFoto=-0.0416666666666667\r\n"
              "DeltaSec=300\r\n[Other]\r\nX=1\r\n");
    const ProgramState s = file.read(folder_);
    EXPECT_NEAR(s.photoOffset, -1.0 / 24, 1e-16);
    EXPECT_EQ(s.dataFolder, "/new path/");
}

TEST_F(SettingsTest, CreatesTheFileOnFirstWrite) {
    EXPECT_FALSE(SettingsFile::inFolder(folder_).writeFloat("DeltaFoto", 0.5));
    EXPECT_EQ(readFile(), "[Setting]\r\nDeltaFoto=0.5\r\n");
}

TEST_F(SettingsTest, UnwritableFolderGivesTheMessage) {
    // A folder that cannot take a file, whoever runs the test.
    const std::string blocked = folder_ + "not-a-folder";
    std::ofstream(blocked) << "x";
    const SettingsFile file = SettingsFile::inFolder(blocked + "/");
    EXPECT_EQ(file.writeString("FotoPath", "/x/"), "Unable to write to " + blocked + "/Geovanta.ini");

    if (::geteuid() != 0) {
        fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(SettingsFile::inFolder(folder_).writeString("FotoPath", "/x/"),
                  "Unable to write to " + folder_ + "Geovanta.ini");
    }
}

TEST_F(SettingsTest, ReadOnlyFileIsNotReplaced) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write any file";
    writeFile("[Setting]\r\nDeltaSec=5\r\n");
    fs::permissions(folder_ + "Geovanta.ini", fs::perms::owner_read);
    EXPECT_TRUE(SettingsFile::inFolder(folder_).writeInteger("DeltaSec", 7));
    EXPECT_EQ(readFile(), "[Setting]\r\nDeltaSec=5\r\n");
}

TEST_F(SettingsTest, FilesThatCannotBeTakenWholeGiveDefaultsAndAreNeverReplaced) {
    const std::string ini = folder_ + "Geovanta.ini";
    const auto expectDefaultsAndRefusal = [&](const char* what) {
        SCOPED_TRACE(what);
        const ProgramState s = SettingsFile::inFolder(folder_).read("/exe/");
        EXPECT_EQ(s.tolerance, 300);
        EXPECT_EQ(s.photoFolder, "/exe/");
        EXPECT_EQ(SettingsFile::inFolder(folder_).writeInteger("DeltaSec", 7), "Unable to write to " + ini);
    };
    // A pipe nobody writes to: reading must not wait for a writer.
    ASSERT_EQ(::mkfifo(ini.c_str(), 0600), 0);
    expectDefaultsAndRefusal("pipe");
    EXPECT_TRUE(fs::is_fifo(ini));
    fs::remove(ini);

    // Too big to be a settings file (sparse, so it takes no disk room).
    writeFile("[Setting]\r\nDeltaSec=5\r\n");
    fs::resize_file(ini, IniFile::kMaxFileBytes + 1);
    expectDefaultsAndRefusal("too big");
    EXPECT_EQ(fs::file_size(ini), IniFile::kMaxFileBytes + 1);
    fs::remove(ini);

    if (::geteuid() != 0) {
        // Unreadable: its lines would be lost by a rewrite.
        writeFile("[Setting]\r\nDeltaSec=5\r\n[Other]\r\nKeep=1\r\n");
        fs::permissions(ini, fs::perms::owner_write);
        expectDefaultsAndRefusal("unreadable");
        fs::permissions(ini, fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_EQ(readFile(), "[Setting]\r\nDeltaSec=5\r\n[Other]\r\nKeep=1\r\n");
    }
}

// A file that is there but cannot be read is named at the start with the
// reason; the defaults apply, without map tiles, which it may have turned
// off, and the file is never written over, so that none of it is lost.
TEST_F(SettingsTest, AFileThatCannotBeReadIsReportedAtStartAndKept) {
    const std::string ini = folder_ + "Geovanta.ini";
    const auto expectReportedAndKept = [&](const std::string& reason) {
        SCOPED_TRACE(reason);
        SettingsFile file = SettingsFile::inFolder(folder_);
        std::vector<std::string> messages;
        const ProgramState s = file.readAtStart("/exe/", messages);
        EXPECT_EQ(messages, std::vector<std::string>{"Cannot read the settings file " + ini + ": " + reason +
                                                     ". The default settings apply, and the file is left as it is"});
        EXPECT_EQ(s.tolerance, 300);
        EXPECT_EQ(s.photoFolder, "/exe/");
        EXPECT_EQ(s.mapTiles, "");
        EXPECT_EQ(file.writeInteger("DeltaSec", 7), "Not saved: the settings file " + ini +
                                                        " could not be read at start (" + reason +
                                                        "), so it is left as it is");
    };
    writeFile("[Setting]\r\nMapTiles=\r\n");
    fs::resize_file(ini, IniFile::kMaxFileBytes + 1);
    expectReportedAndKept("larger than 16 MB, too large for a settings file");
    EXPECT_EQ(fs::file_size(ini), IniFile::kMaxFileBytes + 1);
    fs::remove(ini);

    fs::create_directory(ini);
    expectReportedAndKept("Is a directory");
    fs::remove(ini);

    if (::geteuid() != 0) {
        writeFile("[Setting]\r\nMapTiles=\r\n");
        fs::permissions(ini, fs::perms::owner_write);
        expectReportedAndKept("Permission denied");
        fs::permissions(ini, fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_EQ(readFile(), "[Setting]\r\nMapTiles=\r\n");
        fs::remove(ini);
    }

    // Missing is no fault: nothing to say, and the standard tiles.
    SettingsFile missing = SettingsFile::inFolder(folder_);
    std::vector<std::string> messages;
    EXPECT_EQ(missing.readAtStart("/exe/", messages).mapTiles, std::nullopt);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(missing.writeInteger("DeltaSec", 7), std::nullopt);
}

TEST_F(SettingsTest, ANegativeToleranceFallsBackToTheDefaultAndSaysSo) {
    writeFile("[Setting]\r\nDeltaSec=-5\r\n");
    SettingsFile file = SettingsFile::inFolder(folder_);
    EXPECT_EQ(file.read("/exe/").tolerance, 300);
    std::vector<std::string> messages;
    EXPECT_EQ(file.readAtStart("/exe/", messages).tolerance, 300);
    EXPECT_EQ(messages, std::vector<std::string>{"DeltaSec=-5 in " + folder_ +
                                                 "Geovanta.ini is below 0 seconds; 300 is used"});
}

// Each write replaces the file through a new one beside it: a link keeps
// pointing at its file, no new file is left behind, and where no new file can
// be made the old one is not rewritten in place.
TEST_F(SettingsTest, WritesReplaceTheFileThroughANewOne) {
    std::ofstream(folder_ + "real.ini", std::ios::binary) << "[Setting]\r\nDeltaSec=5\r\n";
    fs::create_symlink("real.ini", folder_ + "Geovanta.ini");
    struct stat before {};
    ASSERT_EQ(::stat((folder_ + "real.ini").c_str(), &before), 0);
    EXPECT_EQ(SettingsFile::inFolder(folder_).writeInteger("DeltaSec", 7), std::nullopt);
    struct stat after {};
    ASSERT_EQ(::stat((folder_ + "real.ini").c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino) << "replaced, not rewritten in place";
    EXPECT_TRUE(fs::is_symlink(folder_ + "Geovanta.ini"));
    EXPECT_EQ(readFile(), "[Setting]\r\nDeltaSec=7\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);

    // A write cut short (here by a file size limit) leaves the old file whole.
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{40, 40};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(SettingsFile::inFolder(folder_).writeString("FotoPath", std::string(100, 'x')) ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(status, 0) << "the write reported its failure";
    EXPECT_EQ(readFile(), "[Setting]\r\nDeltaSec=7\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);

    if (::geteuid() != 0) {
        fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(SettingsFile::inFolder(folder_).writeInteger("DeltaSec", 9),
                  "Unable to write to " + folder_ + "Geovanta.ini");
        EXPECT_EQ(readFile(), "[Setting]\r\nDeltaSec=7\r\n");
    }
}

TEST_F(SettingsTest, AValueWithALineBreakIsRefusedWhole) {
    // Folder names may hold line breaks; written as they are, the rest of the
    // name would become keys of its own.
    writeFile("[Setting]\r\nDeltaSec=5\r\n");
    const SettingsFile file = SettingsFile::inFolder(folder_);
    for (const char* folder : {"/photos/x\nDeltaSec=0/", "/photos/x\r[Other]/"})
        EXPECT_EQ(file.writeString("FotoPath", folder), "Unable to write to " + folder_ + "Geovanta.ini");
    EXPECT_EQ(readFile(), "[Setting]\r\nDeltaSec=5\r\n");
    EXPECT_EQ(file.writeString("FotoPath", "/photos/tab\there \"quoted\"/"), std::nullopt);
    EXPECT_EQ(file.read("/exe/").tolerance, 5);
}

TEST(IniFile, RewritingKeepsEveryOtherLineAsItWas) {
    // Found by fuzzing: a second byte-order mark behind the first was lost on
    // rewrite, turning a line into a section header.
    std::ifstream in(std::string(GEOVANTA_TEST_DATA) + "/regress/ini-double-bom.ini", std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    IniFile ini = IniFile::parse(bytes.str());
    const auto before = ini.value("Setting", "DeltaTrack");
    ini.setValue("Setting", "DeltaSec", "300");
    const IniFile again = IniFile::parse(ini.text());
    EXPECT_EQ(again.value("Setting", "DeltaSec"), "300");
    EXPECT_EQ(again.value("Setting", "DeltaTrack"), before);
    EXPECT_EQ(again.text(), ini.text());
}

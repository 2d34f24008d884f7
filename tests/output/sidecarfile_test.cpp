// The XMP file beside a photograph: its name, and what is found there just
// before it is written.
#include "output/sidecarfile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "support/exiftooltags.h"
#include "support/tempdir.h"

namespace geovanta {
namespace {

namespace fs = std::filesystem;

TEST(SidecarFile, Names) {
    test::TempDir dir;
    const std::string photo = dir.file("IMG_0001.CR3");
    EXPECT_EQ(sidecarName(photo, Sidecars::BaseName), dir.file("IMG_0001.xmp"));
    EXPECT_EQ(sidecarName(photo, Sidecars::FullName), dir.file("IMG_0001.CR3.xmp"));
    EXPECT_EQ(sidecarName("trip.2024/IMG_0001.jpg", Sidecars::BaseName), "trip.2024/IMG_0001.xmp");
    // One made elsewhere in capitals is the photograph's XMP file, not a second one beside it.
    dir.write("IMG_0002.XMP", "");
    EXPECT_EQ(sidecarName(dir.file("IMG_0002.NEF"), Sidecars::BaseName), dir.file("IMG_0002.XMP"));
    dir.write("IMG_0003.XMP", "");
    dir.write("IMG_0003.xmp", "");
    EXPECT_EQ(sidecarName(dir.file("IMG_0003.NEF"), Sidecars::BaseName), dir.file("IMG_0003.xmp"));
}

// Whatever may have come into the XMP file's place between the batch's
// start and its write: only a regular file with no other name, as it was
// then, or nothing both times, is written. ExifTool writes through whatever
// has the name, so a link of any kind would take the position elsewhere.
TEST(SidecarFile, ChecksJustBeforeTheWrite) {
    test::TempDir dir;
    const std::string photo = dir.write("IMG.CR3", "raw");
    const std::optional<FileStamp> photoStamp = fileStampOf(photo);
    const std::string xmp = dir.file("IMG.xmp");
    const std::string elsewhere = dir.write("elsewhere.xmp", "<x/>");
    const char* const link = "it is a symbolic link; not written";
    struct Case {
        const char* what;
        std::function<void()> before, after;  // the XMP file when the batch begins, and when it is written
        const char* refusal;                  // empty: written
    };
    const Case cases[] = {
        {"made new", [] {}, [] {}, ""},
        {"kept", [&] { dir.write("IMG.xmp", "<x/>"); }, [] {}, ""},
        {"a link to a file elsewhere", [&] { fs::create_symlink(elsewhere, xmp); }, [] {}, link},
        {"a link to the photograph", [&] { fs::create_symlink(photo, xmp); }, [] {}, link},
        {"a link that leads nowhere", [&] { fs::create_symlink(dir.file("none.xmp"), xmp); }, [] {}, link},
        {"a link that came meanwhile", [] {}, [&] { fs::create_symlink(dir.file("none.xmp"), xmp); }, link},
        {"another name of a file elsewhere", [&] { fs::create_hard_link(elsewhere, xmp); }, [] {},
         "the file has other names (hard links); not written"},
        {"another name of the photograph", [&] { fs::create_hard_link(photo, xmp); }, [] {},
         "it is the photograph itself under another name"},
        {"appeared", [] {}, [&] { dir.write("IMG.xmp", "<x/>"); }, "changed since the write began: it was not there yet"},
        {"gone", [&] { dir.write("IMG.xmp", "<x/>"); }, [&] { fs::remove(xmp); },
         "changed since the write began: it is no longer there"},
        {"changed", [&] { dir.write("IMG.xmp", "<x/>"); }, [&] { dir.write("IMG.xmp", "<x a='1'/>"); },
         "changed since the write began"},
        {"a folder", [&] { fs::create_directory(xmp); }, [] {}, "a folder has the XMP file's name"},
        {"a pipe", [&] { ASSERT_EQ(::mkfifo(xmp.c_str(), 0644), 0); }, [] {}, "not a regular file"},
        {"read-only", [&] { dir.write("IMG.xmp", "<x/>"); fs::permissions(xmp, fs::perms::owner_read); }, [] {},
         "the file is read-only"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(xmp);
        c.before();
        const SidecarSeen seen = seeSidecar(xmp);
        c.after();
        const SidecarFile file = checkSidecarFile(xmp, seen, photoStamp);
        EXPECT_EQ(file.refusal.value_or(""), c.refusal);
        EXPECT_EQ(fs::path(file.target), fs::canonical(dir.path()) / "IMG.xmp");
        EXPECT_EQ(file.isNew, std::string(c.what) == "made new");
    }
}

// A new XMP file is made here, never through a link, and taken away again
// when ExifTool did not write it, unless something else has its name by then.
TEST(SidecarFile, MadeNewWithoutFollowingALink) {
    test::TempDir dir;
    const std::string xmp = dir.file("IMG.xmp");
    std::string error;
    const std::optional<FileStamp> made = createSidecarFile(xmp, error);
    ASSERT_TRUE(made) << error;
    EXPECT_NE(test::readFile(xmp).find("<x:xmpmeta xmlns:x='adobe:ns:meta/'>"), std::string::npos);
    EXPECT_FALSE(createSidecarFile(xmp, error));
    EXPECT_EQ(error, "changed since the write began: it was not there yet");
    removeUnwrittenSidecar(xmp, *made);
    EXPECT_FALSE(fs::exists(xmp));

    const std::string outside = dir.file("outside.xmp");
    fs::create_symlink(outside, xmp);
    EXPECT_FALSE(createSidecarFile(xmp, error));
    EXPECT_FALSE(fs::exists(outside));
    fs::remove(xmp);

    const std::optional<FileStamp> second = createSidecarFile(xmp, error);
    ASSERT_TRUE(second) << error;
    dir.write("IMG.xmp", "written meanwhile");
    removeUnwrittenSidecar(xmp, *second);
    EXPECT_EQ(test::readFile(xmp), "written meanwhile");
}

}  // namespace
}  // namespace geovanta

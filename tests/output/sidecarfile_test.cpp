// The XMP file beside a photograph: its name, and what is found there just
// before it is written.
#include "output/sidecarfile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

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
// start and its write: only a file as it was then, or none both times, is written.
TEST(SidecarFile, ChecksJustBeforeTheWrite) {
    test::TempDir dir;
    const std::string photo = dir.write("IMG.CR3", "raw");
    const std::optional<FileStamp> photoStamp = fileStampOf(photo);
    const std::string xmp = dir.file("IMG.xmp");
    const std::string elsewhere = dir.write("elsewhere.xmp", "<x/>");
    struct Case {
        const char* what;
        std::function<void()> before, after;  // the XMP file when the batch begins, and when it is written
        std::string target;                   // empty: refused
        const char* refusal;
    };
    const Case cases[] = {
        {"made new", [] {}, [] {}, xmp, ""},
        {"kept", [&] { dir.write("IMG.xmp", "<x/>"); }, [] {}, xmp, ""},
        {"a link written through", [&] { fs::create_symlink(elsewhere, xmp); }, [] {}, elsewhere, ""},
        {"appeared", [] {}, [&] { dir.write("IMG.xmp", "<x/>"); }, "", "changed since the write began: it was not there yet"},
        {"gone", [&] { dir.write("IMG.xmp", "<x/>"); }, [&] { fs::remove(xmp); }, "",
         "changed since the write began: it is no longer there"},
        {"changed", [&] { dir.write("IMG.xmp", "<x/>"); }, [&] { dir.write("IMG.xmp", "<x a='1'/>"); }, "",
         "changed since the write began"},
        {"relinked", [&] { fs::create_symlink(elsewhere, xmp); },
         [&] {
             fs::remove(xmp);
             fs::create_symlink(photo, xmp);
         },
         "", "it is the photograph itself under another name"},
        {"a link that leads nowhere", [&] { fs::create_symlink(dir.file("none.xmp"), xmp); }, [] {}, "",
         "its link leads nowhere"},
        {"a folder", [&] { fs::create_directory(xmp); }, [] {}, "", "a folder has the XMP file's name"},
        {"a pipe", [&] { ASSERT_EQ(::mkfifo(xmp.c_str(), 0644), 0); }, [] {}, "", "not a regular file"},
        {"read-only", [&] { dir.write("IMG.xmp", "<x/>"); fs::permissions(xmp, fs::perms::owner_read); }, [] {}, "",
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
        if (!c.target.empty()) {
            EXPECT_EQ(fs::path(file.target), fs::weakly_canonical(c.target));
        }
    }
}

}  // namespace
}  // namespace geovanta

// Photo folders read with the folders inside them: path order, hidden
// folders, links to folders (a loop among them), and a bound on the depth.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "input/exiffixtures.h"
#include "input/photoscanner.h"
#include "table/datatable.h"

namespace fs = std::filesystem;
using namespace geovanta;
using namespace geovanta::test;

namespace {

const Bytes kPhoto = JpegBuilder().app0().startOfScan().build();

// The rows' file names below `root`, in the order they were appended.
std::vector<std::string> appended(const DataTable& t, const std::string& root) {
    std::vector<std::size_t> rows(t.rowCount());
    for (std::size_t k = 0; k < rows.size(); ++k) rows[k] = k;
    std::sort(rows.begin(), rows.end(), [&](auto a, auto b) { return t.creationNumber(a) < t.creationNumber(b); });
    std::vector<std::string> names;
    for (std::size_t row : rows) names.emplace_back(t.text(row, FieldId::FileName).substr(root.size()));
    return names;
}

}  // namespace

TEST(PhotoFolders, SubfoldersInPathOrderEachFolderOnce) {
    TempDir dir;
    const fs::path root = dir.path();
    for (const char* folder : {"a/deep", "sub/.thumbs", ".hidden", "Old.JPG", "b"}) fs::create_directories(root / folder);
    for (const char* photo : {"b.jpg", "a.jpg", "a/z.jpg", "a/deep/x.CR3", "sub/s.heic", "sub/.thumbs/t.jpg",
                              ".hidden/h.jpg", "Old.JPG/in.jpg", ".top.jpg", "b/notes.txt"})
        dir.write(photo, kPhoto);
    fs::create_directory_symlink(root, root / "sub" / "loop");  // back to the top
    fs::create_directory_symlink(root / "sub", root / "a" / "link");  // a second way to sub
    fs::create_directory_symlink(root / "gone", root / "dangling");
    fs::path chain = root;  // photographs 1 to 33 folders down
    for (int depth = 1; depth <= kMaxFolderDepth + 1; ++depth) {
        chain /= "d";
        fs::create_directory(chain);
        dir.write((chain / "p.jpg").string().substr(dir.folder().size()), kPhoto);
    }

    DataTable table;
    const PhotoScanResult deep = LoadFotos(table, dir.folder(), SubFolders::Include);
    std::vector<std::string> expected = {".top.jpg", "Old.JPG/in.jpg", "a/deep/x.CR3", "a/z.jpg", "a.jpg", "b.jpg"};
    std::string d;  // "d/d/p.jpg" comes before "d/p.jpg": "d" before "p.jpg"
    for (int depth = 1; depth <= kMaxFolderDepth; ++depth) d += "d/";
    for (std::size_t n = d.size(); n > 0; n -= 2) expected.push_back(d.substr(0, n) + "p.jpg");
    expected.push_back("sub/s.heic");
    EXPECT_EQ(appended(table, dir.folder()), expected);
    EXPECT_EQ(table.lastScanPhotoCount(), static_cast<int>(expected.size()));
    // Only the folder too deep is told; the loop and the second way are no error.
    ASSERT_EQ(deep.leftOut.size(), 1u) << deep.message;
    EXPECT_EQ(deep.leftOut[0].path, dir.folder() + d + "d/");
    EXPECT_EQ(deep.leftOut[0].reason, "the folder lies more than 32 levels deep");

    // Without subfolders: the folder alone, as the listing gives it; the
    // folder with a photograph's name is then none, and said to be none.
    DataTable flat;
    const PhotoScanResult shallow = LoadFotos(flat, dir.folder());
    EXPECT_EQ(shallow.leftOut,
              (std::vector<LeftOutFile>{{dir.folder() + "Old.JPG", "a folder with a photograph's name; not read"}}));
    std::vector<std::string> top = appended(flat, dir.folder());
    std::sort(top.begin(), top.end());
    EXPECT_EQ(top, (std::vector<std::string>{".top.jpg", "a.jpg", "b.jpg"}));
}

// A link out of the folder given, as an unpacked archive can hold one (to
// "/" even), is named and not followed; links that stay inside are.
TEST(PhotoFolders, LinksOutOfTheFolderAreNamedNotRead) {
    TempDir dir;
    const fs::path root = dir.path();
    for (const char* folder : {"trip/d1", "elsewhere"}) fs::create_directories(root / folder);
    for (const char* photo : {"trip/d1/IMG_1.jpg", "elsewhere/IMG_2.jpg"}) dir.write(photo, kPhoto);
    fs::create_directory_symlink("../elsewhere", root / "trip" / "out");
    fs::create_directory_symlink("/", root / "trip" / "slash");
    fs::create_directory_symlink("d1", root / "trip" / "in");
    fs::create_directory_symlink("..", root / "trip" / "d1" / "up");

    const std::string trip = dir.folder() + "trip/";
    const FolderListing listing = listPhotos(trip, SubFolders::Include);
    ASSERT_EQ(listing.photos.size(), 1u);
    EXPECT_EQ(listing.photos[0].fileName, trip + "d1/IMG_1.jpg");
    const std::string reason = "the link leads out of the folder given; not read";
    EXPECT_EQ(listing.unread, (std::vector<LeftOutFile>{{trip + "out/", reason}, {trip + "slash/", reason}}));
}

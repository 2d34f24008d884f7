// A big file is mapped while it is read: another program cutting it short
// meanwhile must not end this one (the system signals a read past the file's
// new end), and the load must not pass the zeros off as the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "input/wholefile.h"
#include "support/tempdir.h"
#include "table/messages.h"

using namespace geovanta;

TEST(GuardedMapping, AFileCutShortWhileReadReadsAsZerosAndIsReported) {
    geovanta::test::TempDir dir;
    constexpr std::size_t kMegabyte = std::size_t{1} << 20;
    const std::string path = dir.write("walk.plt", std::string(4 * kMegabyte, 'x'));
    FileBytes bytes;
    ASSERT_FALSE(readWholeFile(path, bytes));
    const std::string_view view = bytes.view();
    ASSERT_EQ(view.size(), 4 * kMegabyte);
    EXPECT_EQ(view[0], 'x');
    EXPECT_FALSE(bytes.cutShort());
    EXPECT_TRUE(checkedForCut(LoadResult::loaded(), bytes, path).ok());

    std::filesystem::resize_file(path, kMegabyte);
    EXPECT_EQ(view[kMegabyte - 1], 'x');
    EXPECT_EQ(view[3 * kMegabyte], '\0');
    EXPECT_EQ(view[2 * kMegabyte], '\0');  // before the first page that faulted
    EXPECT_EQ(view.back(), '\0');
    EXPECT_TRUE(bytes.cutShort());
    bytes.release(view.size());  // pages given back after the cut stay harmless

    LoadResult kept = LoadResult::loaded();
    kept.altitudesOutOfRange = 2;
    const LoadResult result = checkedForCut(kept, bytes, path);
    EXPECT_EQ(result.status, LoadResult::Status::Failed);
    EXPECT_EQ(result.altitudesOutOfRange, 2u);
    EXPECT_NE(result.message.find("walk.plt"), std::string::npos) << result.message;
}

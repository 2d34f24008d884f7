#include "input/fieldsplit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/wholefile.h"
#include "support/tempdir.h"

using namespace geovanta;

TEST(FieldSplit, FieldsKeepTheirNumbersAndBlanks) {
    const std::string_view line = "  52.5,,x y ,";
    EXPECT_EQ(fieldOf(line, ',', 1), "  52.5");
    EXPECT_EQ(fieldOf(line, ',', 2), "");
    EXPECT_EQ(fieldOf(line, ',', 3), "x y ");
    EXPECT_EQ(fieldOf(line, ',', 4), "");   // after the last comma
    EXPECT_EQ(fieldOf(line, ',', 5), "");   // past the last field
    EXPECT_EQ(fieldOf("a b", ' ', 2), "b");  // the blank as delimiter

    std::string_view f[6];
    splitFields("1,2,,4", ',', f);
    EXPECT_EQ(f[0], "1");
    EXPECT_EQ(f[2], "");
    EXPECT_EQ(f[3], "4");
    EXPECT_EQ(f[4], "");
    EXPECT_EQ(f[5], "");
}

TEST(FieldSplit, CharCountWrapsAt16Bits) {
    EXPECT_EQ(CharCount("a,b,,c", ','), 3);
    EXPECT_EQ(CharCount("", ','), 0);
    EXPECT_EQ(CharCount(std::string(65536 + 4, ','), ','), 4);
    // The wide count for whole files: past the lanes' 255-step blocks too.
    EXPECT_EQ(countByte(std::string(65536 + 4, ','), ','), 65540u);
    EXPECT_EQ(countByte(std::string(4096 * 3 + 17, 'x') + ",", ','), 1u);
    // Every length and position around the eight-byte steps, bytes above 0x7F included.
    for (std::size_t len = 0; len < 40; ++len)
        for (std::size_t at = 0; at < len; ++at) {
            std::string s(len, '\xAC');  // ',' with the high bit set
            s[at] = ',';
            EXPECT_EQ(CharCount(s, ','), 1) << len << " " << at;
            EXPECT_EQ(countByte(s, ','), 1u) << len << " " << at;
            s.assign(len, ',');
            s[at] = '-';
            EXPECT_EQ(CharCount(s, ','), len - 1) << len << " " << at;
        }
}

TEST(FieldSplit, WholeFileByteForByte) {
    test::TempDir dir;
    const std::string bytes("a\0b\r\n\xFF", 6);
    const std::string file = dir.write("x.plt", bytes);
    FileBytes read;
    ASSERT_EQ(readWholeFile(file, read), std::nullopt);
    EXPECT_EQ(read.view(), bytes);
    EXPECT_EQ(readWholeFile(dir.write("empty.plt", ""), read), std::nullopt);
    EXPECT_EQ(read.view(), "");
    // The message says why, as the system words it.
    EXPECT_EQ(readWholeFile(dir.folder() + "missing.plt", read),
              "Cannot open file " + dir.folder() + "missing.plt: No such file or directory");
    EXPECT_EQ(readWholeFile(dir.folder(), read), "Cannot open file " + dir.folder() + ": Is a directory");
}

#include "input/textlines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tempfolder.h"

using namespace geovanta;

namespace {

std::vector<std::string> linesOf(std::string_view text) {
    std::vector<std::string> out;
    TextLines lines(text);
    std::string_view line;
    while (lines.next(line)) out.emplace_back(line);
    return out;
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(TextLines, EveryLineEndAndTheNulByte) {
    EXPECT_EQ(linesOf("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(linesOf("a\r\n"), (Lines{"a"}));
    EXPECT_EQ(linesOf("a\n\r"), (Lines{"a", ""}));  // LF then a lone CR: two ends
    EXPECT_EQ(linesOf("\r\n\r\n"), (Lines{"", ""}));
    EXPECT_EQ(linesOf(""), Lines{});
    EXPECT_EQ(linesOf(std::string_view("a\r\nb\0c\r\nd", 9)), (Lines{"a", "b"}));
    EXPECT_EQ(linesOf(std::string_view("\0abc", 4)), (Lines{""}));
    // Bytes above 0x7F are never mistaken for line ends.
    EXPECT_EQ(linesOf("\xCA\xF0\r\n\xFF"), (Lines{"\xCA\xF0", "\xFF"}));

    // Long lines with every line end at every offset; other control bytes stay.
    for (std::size_t at = 0; at < 20; ++at)
        for (const char* end : {"\n", "\r", "\r\n"}) {
            const std::string first = std::string(at, 'a') + "\t\x0B\x0C\x0E" + std::string(at % 9, '\x8D');
            EXPECT_EQ(linesOf(first + end + "tail"), (Lines{first, "tail"})) << at;
        }
    EXPECT_EQ(linesOf(std::string(19, 'b') + std::string("\0", 1) + "c"), Lines{std::string(19, 'b')});

    TextLines numbered("x\ny\r\n\rz");
    std::string_view line;
    std::size_t last = 0;
    while (numbered.next(line)) last = numbered.lineNumber();
    EXPECT_EQ(last, 4u);
}

TEST(TextLines, FieldsKeepTheirNumbersAndBlanks) {
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

TEST(TextLines, CharCountWrapsAt16Bits) {
    EXPECT_EQ(CharCount("a,b,,c", ','), 3);
    EXPECT_EQ(CharCount("", ','), 0);
    EXPECT_EQ(CharCount(std::string(65536 + 4, ','), ','), 4);
    // Every length and position around the eight-byte steps, bytes above 0x7F included.
    for (std::size_t len = 0; len < 40; ++len)
        for (std::size_t at = 0; at < len; ++at) {
            std::string s(len, '\xAC');  // ',' with the high bit set
            s[at] = ',';
            EXPECT_EQ(CharCount(s, ','), 1) << len << " " << at;
            s.assign(len, ',');
            s[at] = '-';
            EXPECT_EQ(CharCount(s, ','), len - 1) << len << " " << at;
        }
}

TEST(TextLines, WholeFileByteForByte) {
    test::TempDir dir;
    const std::string bytes("a\0b\r\n\xFF", 6);
    const std::string file = dir.write("x.plt", bytes);
    std::string read = "old";
    ASSERT_EQ(readWholeFile(file, read), std::nullopt);
    EXPECT_EQ(read, bytes);
    EXPECT_EQ(readWholeFile(dir.write("empty.plt", ""), read), std::nullopt);
    EXPECT_EQ(read, "");
    EXPECT_EQ(readWholeFile(dir.folder() + "missing.plt", read), "Cannot open file " + dir.folder() + "missing.plt");
    EXPECT_EQ(readWholeFile(dir.folder(), read), "Cannot open file " + dir.folder());  // a folder is no file
}

#include "table/textlines.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace geovanta;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

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
    // LF CR is one end, as CR LF is; a lone CR or LF after it ends a blank line.
    EXPECT_EQ(linesOf("a\n\rb\n\r"), (Lines{"a", "b"}));
    EXPECT_EQ(linesOf("a\n\r\rb\n\n\rc"), (Lines{"a", "", "b", "", "c"}));
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

TEST(TextLines, SplitLinesKeepsNulBytes) {
    EXPECT_THAT(splitLines(""), IsEmpty());
    EXPECT_THAT(splitLines("\n"), ElementsAre(""));
    EXPECT_THAT(splitLines("\r\n"), ElementsAre(""));
    EXPECT_THAT(splitLines("\n\r"), ElementsAre(""));
    EXPECT_THAT(splitLines("a\rb\nc\r\n\r\nd"), ElementsAre("a", "b", "c", "", "d"));
    EXPECT_THAT(splitLines("tail\r"), ElementsAre("tail"));
    EXPECT_THAT(splitLines(std::string("x\0y\n", 4)), ElementsAre(std::string("x\0y", 3)));
    // Also where the eight-byte scan meets it.
    EXPECT_THAT(splitLines(std::string("0123456\0" "89\nz", 12)),
                ElementsAre(std::string("0123456\0" "89", 10), "z"));
}

#include "table/textcodec.h"

#include <gtest/gtest.h>

using namespace geovanta;

// A file name shows every valid character as it is and every other byte as
// an escape, so that two different names never show alike; names from GPS
// files keep their Windows-1251 reading.
TEST(TextCodec, FileNamesShowBytesThatAreNotUtf8AsEscapes) {
    EXPECT_EQ(displayFileName("Фото 1.JPG"), "Фото 1.JPG");
    EXPECT_EQ(displayFileName("\xFF\xFE.JPG"), "\\xFF\\xFE.JPG");
    EXPECT_EQ(displayUtf8("\xFF\xFE.JPG"), "яю.JPG");
    // A character cut short, an over-long form and a surrogate are bytes too;
    // the valid characters around them stay readable.
    EXPECT_EQ(displayFileName("Ф\xD0.jpg"), "Ф\\xD0.jpg");
    EXPECT_EQ(displayFileName("\xC0\xAF"), "\\xC0\\xAF");
    EXPECT_EQ(displayFileName("\xED\xA0\x80" "a"), "\\xED\\xA0\\x80a");
    EXPECT_EQ(displayFileName(""), "");
}

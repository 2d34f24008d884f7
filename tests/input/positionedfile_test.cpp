#include "input/positionedfile.h"

#include <gtest/gtest.h>

#include <string>

#include "support/tempdir.h"

using namespace geovanta;

// Reads near the start come from one read of the file's head, small ones
// further on from a window; every read must still give the file's bytes, cut
// only at its end, also where it crosses the head's or the window's end.
TEST(PositionedFile, ReadsInAndAroundTheHeadAndTheWindow) {
    test::TempDir dir;
    const std::size_t head = PositionedFile::kHeadBytes;
    for (const std::size_t size : {std::size_t{100}, head - 1, head, 3 * head}) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 131 % 251);
        PositionedFile file;
        ASSERT_EQ(file.open(dir.write("f.bin", bytes)), PositionedFile::OpenResult::Opened);
        const std::pair<std::size_t, std::size_t> reads[] = {
            {0, 16}, {size / 2, 10}, {head - 4, 8}, {head, 100}, {head + 4000, 200}, {head + 50, 8},
            {size - 3, 10}, {0, 2 * head}, {size + 5, 4}};
        for (const auto& [offset, count] : reads) {
            std::string got(count, '?');
            const long long n = file.readAt(offset, got.data(), count);
            const std::string expected = offset < size ? bytes.substr(offset, count) : "";
            ASSERT_EQ(n, static_cast<long long>(expected.size())) << size << " " << offset;
            EXPECT_EQ(got.substr(0, expected.size()), expected) << size << " " << offset;
        }
    }
}

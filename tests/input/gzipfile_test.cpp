// Inflating gzip files: several members, a bomb, damage.
#include <gtest/gtest.h>

#include <zlib.h>

#include <string>

#include "input/gzipfile.h"
#include "input/wholefile.h"
#include "table/messages.h"

using namespace geovanta;
using Status = GzipResult::Status;

namespace {

std::string gzip(const std::string& text) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, 6, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::string out(deflateBound(&z, text.size()), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = static_cast<uInt>(text.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

std::string walk(std::size_t lines) {
    std::string text;
    for (std::size_t n = 0; n < lines; ++n) text += "55." + std::to_string(n % 1000) + ",37.6\n";
    return text;
}

}  // namespace

// Members joined with cat read as one file; output outgrowing its first
// guess keeps what came before.
TEST(GzipFile, InflatesEveryMember) {
    const std::string first = walk(200000), second = walk(3);
    FileBytes out;
    const GzipResult r = inflateGzip(gzip(first) + gzip(second) + std::string(8, '\0'), "walk.gpx.gz", out);
    EXPECT_EQ(r.status, Status::Whole) << r.message;
    EXPECT_TRUE(out.view() == first + second);
}

TEST(GzipFile, StopsAtTheLimitAndAtDamage) {
    FileBytes out;
    const GzipResult bomb = inflateGzip(gzip(std::string(3 << 20, '\0')), "bomb.gpx.gz", out, 1 << 20);
    EXPECT_EQ(bomb.status, Status::Failed);
    EXPECT_EQ(bomb.message, textOf(Msg::GzipTooLarge, {"bomb.gpx.gz", 1}));
    EXPECT_TRUE(out.view().empty());

    const std::string text = walk(50000), whole = gzip(text);
    std::string badCheck = whole;
    badCheck[whole.size() - 6] ^= 1;  // the trailer's CRC-32
    const struct {
        std::string bytes;
        std::size_t at;
    } cases[] = {{whole.substr(0, whole.size() / 2), whole.size() / 2}, {badCheck, whole.size() - 4},
                 {whole + "trailing", whole.size()}};
    for (const auto& c : cases) {
        const GzipResult r = inflateGzip(c.bytes, "walk.gpx.gz", out);
        EXPECT_EQ(r.status, Status::Damaged);
        EXPECT_EQ(r.message, textOf(Msg::GzipDamaged) + "\nwalk.gpx.gz, byte " + std::to_string(c.at));
        EXPECT_TRUE(text.starts_with(out.view()));
        EXPECT_GT(out.view().size(), 0u);
    }
    EXPECT_EQ(inflateGzip("plain text", "walk.gpx", out).status, Status::NotGzip);
}

// The borders' reader and lookup on a small file of our own: three square
// countries on a coarse grid, one with a hole that another fills, and one
// ring past the 180th meridian (tests/data/fuzz/borders_fuzz/squares.bin:
// steps of 1° by 0.5° from -180°, -90°).
#include "geo/countryborders.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace geovanta {
namespace {

std::string squares() {
    std::ifstream in(GEOVANTA_TEST_DATA "/fuzz/borders_fuzz/squares.bin", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(CountryBorders, HolesWrapAndCoasts) {
    const auto borders = CountryBorders::parse(squares());
    ASSERT_TRUE(borders);
    struct Spot {
        const char* what;
        double lat, lon;
        const char* code;  // nullptr: none
    };
    const Spot spots[] = {
        {"inside a square", -25, -160, "AA"},
        {"in the ring around a hole", 15, -60, "BB"},
        {"in the hole, the country filling it", 35, -30, "CC"},
        {"west of the 180th meridian", -10, 178, "CC"},
        {"east of it, the same ring", -10, -178, "CC"},
        {"1 km off the coast", -25, -139.99, "AA"},
        {"10 km off the coast", -25, -139.9, nullptr},
        {"far at sea", -60, 100, nullptr},
        {"off the globe", -25, -190, nullptr},
    };
    for (const Spot& s : spots) {
        SCOPED_TRACE(s.what);
        const std::optional<CountryCode> code = borders->countryAt(s.lat, s.lon);
        ASSERT_EQ(code.has_value(), s.code != nullptr);
        if (code) {
            EXPECT_EQ(countryCodeText(*code), s.code);
        }
    }
}

TEST(CountryBorders, EveryCutOrAdditionIsRefused) {
    const std::string bytes = squares();
    for (std::size_t size = 0; size < bytes.size(); ++size)
        EXPECT_FALSE(CountryBorders::parse(std::string_view(bytes).substr(0, size))) << size;
    EXPECT_FALSE(CountryBorders::parse(bytes + '\0'));
    std::string ringOfTwo = bytes;
    ringOfTwo[50] = 2;  // AA's ring counts two points
    EXPECT_FALSE(CountryBorders::parse(ringOfTwo));
}

TEST(CountryBorders, RefusesARingStretchedPastAnyUse) {
    // Steps of 1e-6° and one triangle a hundred degrees tall: three million
    // bands of edges, which a damaged file must not make the reader build.
    std::string bytes = "GVBORDR1";
    const auto put = [&bytes](auto value) { bytes.append(reinterpret_cast<const char*>(&value), sizeof value); };
    for (double v : {1e-6, 1e-6, -180.0, -90.0}) put(v);
    put(uint32_t{1});  // countries
    bytes += "AA";
    put(uint32_t{1});  // rings
    put(uint32_t{3});  // points
    const auto step = [&bytes](int64_t v) {
        uint64_t z = (static_cast<uint64_t>(v) << 1) ^ static_cast<uint64_t>(v >> 63);
        for (; z >= 0x80; z >>= 7) bytes.push_back(static_cast<char>(z | 0x80));
        bytes.push_back(static_cast<char>(z));
    };
    for (int64_t d : {0, 0, 10, 0, -10, 100'000'000}) step(d);
    EXPECT_FALSE(CountryBorders::parse(bytes));
}

}  // namespace
}  // namespace geovanta

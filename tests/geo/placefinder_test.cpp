// Place names from the shipped data sets, at spots whose answer is known.
#include "geo/placefinder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/language.h"
#include "support/tempdir.h"

namespace geovanta {
namespace {

namespace fs = std::filesystem;
using namespace std::string_view_literals;

const PlaceFinder& finder() {
    static const std::shared_ptr<const PlaceFinder> loaded = [] {
        std::string error;
        auto f = PlaceFinder::shared(GEOVANTA_PLACE_DIR, error);
        EXPECT_TRUE(f) << error;
        return f;
    }();
    return *loaded;
}

struct Spot {
    const char* what;
    double lat, lon;
    const char* city;  // "" for a place without a town, nullptr for no place at all
    const char* region;
    const char* country;
    const char* code;
};

TEST(PlaceFinder, KnownSpots) {
    const Spot spots[] = {
        {"Reykjavík's centre", 64.1466, -21.9426, "Reykjavík", "Capital Region", "Iceland", "IS"},
        // Narva lies across the river; the town of Ivangorod's own country is Kingisepp, 22 km off.
        {"Ivangorod", 59.3660, 28.2350, "Kingisepp", "Leningradskaya Oblast'", "Russian Federation", "RU"},
        {"Narva", 59.3760, 28.1600, "Narva", "Ida-Viru County", "Estonia", "EE"},
        // Gorizia is 2 km away in Italy; no Slovenian town of its size is within reach.
        {"Nova Gorica", 45.9560, 13.6480, "", "", "Slovenia", "SI"},
        // Borders at 1:10m are a kilometre or two off: here they give Gorizia's
        // centre to Slovenia, so the spot is in its western streets.
        {"Gorizia", 45.9330, 13.5950, "Gorizia", "Friuli Venezia Giulia", "Italy", "IT"},
        {"Vaduz", 47.1415, 9.5215, "Vaduz", "Vaduz", "Liechtenstein", "LI"},
        // Enclaves: holes in the country around them.
        {"San Marino", 43.9367, 12.4464, "San Marino", "San Marino", "San Marino", "SM"},
        {"Lesotho's highlands", -29.5, 28.2, "", "", "Lesotho", "LS"},
        {"Monaco", 43.7333, 7.4167, "Monaco", "Municipality of Monaco", "Monaco", "MC"},
        // The town's centre on the seafront, which the generalised coast leaves at sea.
        {"Sanremo", 43.8173, 7.7772, "Sanremo", "Liguria", "Italy", "IT"},
        // Chukotka past the 180th meridian, and Yakutia at its latitudes.
        {"Provideniya", 64.4235, -173.2258, "", "", "Russian Federation", "RU"},
        {"Aykhal", 65.9338, 111.4834, "Aykhal", "Sakha", "Russian Federation", "RU"},
        {"Highlands of Iceland", 64.8000, -18.0000, "", "", "Iceland", "IS"},
        {"the open Atlantic", 45.0, -30.0, nullptr, nullptr, nullptr, nullptr},
        {"the Gulf of Guinea", 0.0, 0.0, nullptr, nullptr, nullptr, nullptr},
        {"5 km off Reykjavík", 64.2000, -22.0500, nullptr, nullptr, nullptr, nullptr},
        {"off the globe", 91.0, 0.0, nullptr, nullptr, nullptr, nullptr},
    };
    for (const Spot& s : spots) {
        SCOPED_TRACE(s.what);
        const std::optional<Place> place = finder().placeAt(s.lat, s.lon, Language::English);
        ASSERT_EQ(place.has_value(), s.code != nullptr);
        if (!place) continue;
        EXPECT_EQ(place->city, s.city);
        EXPECT_EQ(place->region, s.region);
        EXPECT_EQ(place->country, s.country);
        EXPECT_EQ(place->countryCode, s.code);
    }
}

TEST(PlaceFinder, NamesInRussianAndReachAsAsked) {
    const std::optional<Place> narva = finder().placeAt(59.3760, 28.1600, Language::Russian);
    ASSERT_TRUE(narva);
    EXPECT_EQ(narva->city, "Нарва");
    EXPECT_EQ(narva->region, "Ида-Вирумаа");
    EXPECT_EQ(narva->country, "Эстония");
    // Kingisepp is 22 km from Ivangorod: out of reach at 20 km.
    EXPECT_EQ(finder().placeAt(59.3660, 28.2350, Language::English, 20)->city, "");
}

TEST(PlaceFinder, NearestTownOfTheCountryForItsZone) {
    // Far from any town, the nearest one of the same country still answers.
    const std::optional<ZoneTown> highlands = finder().nearestTownHere(64.8, -18.0, Language::English);
    ASSERT_TRUE(highlands);
    EXPECT_EQ(highlands->countryCode, "IS");
    EXPECT_EQ(highlands->zone, "Atlantic/Reykjavik");
    EXPECT_GT(highlands->metres, 25000);

    const std::optional<ZoneTown> ivangorod = finder().nearestTownOf("RU", 59.3660, 28.2350, Language::Russian);
    ASSERT_TRUE(ivangorod);
    EXPECT_EQ(ivangorod->name, "Кингисепп");
    EXPECT_EQ(ivangorod->zone, "Europe/Moscow");
    EXPECT_NEAR(ivangorod->metres, 21700, 500);

    EXPECT_FALSE(finder().nearestTownHere(45.0, -30.0, Language::English));
    EXPECT_FALSE(finder().nearestTownOf("ZZ", 45.0, -30.0, Language::English));
    EXPECT_FALSE(finder().nearestTownOf("is", 64.1, -21.9, Language::English));
}

TEST(PlaceFinder, MissingOrDamagedDataIsToldByFile) {
    const test::LanguageScope english(Language::English);
    struct Case {
        const char* what;
        const char* file;  // replaced in a copy of the data sets, or removed when `content` is null
        std::optional<std::string_view> content;
        const char* message;
    };
    const Case cases[] = {
        {"no towns", "towns.tsv", std::nullopt, "the file %/towns.tsv is missing"},
        {"a town in no region", "towns.tsv", "Z\tEurope/Riga\nR\tLV\tValka\t\nT\t57.77\t26.02\tLV\t1\t0\tValka\t\n",
         "the file %/towns.tsv is damaged (line 3)"},
        {"a latitude off the globe", "towns.tsv", "Z\tUTC\nR\tAQ\tPole\t\nT\t90.5\t0\tAQ\t0\t0\tPole\t\n",
         "the file %/towns.tsv is damaged (line 3)"},
        {"a country without a name", "countries.tsv", "# names\nC\tIS\tIceland\t\n",
         "the file %/countries.tsv is damaged (line 2)"},
        {"borders cut short", "borders.bin", "GVBORDR1\0\0"sv, "the file %/borders.bin is damaged"},
        {"not borders at all", "borders.bin", "<html>", "the file %/borders.bin is damaged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        for (const char* name : {"borders.bin", "towns.tsv", "countries.tsv"})
            fs::copy_file(fs::path(GEOVANTA_PLACE_DIR) / name, dir.path() / name);
        fs::remove(dir.path() / c.file);
        if (c.content) dir.write(c.file, *c.content);
        std::string error;
        EXPECT_FALSE(PlaceFinder::load(dir.folder(), error));
        std::string expected = c.message;
        expected.replace(expected.find('%'), 1, dir.path().string());
        EXPECT_NE(error.find(expected), std::string::npos) << error;
    }
}

}  // namespace
}  // namespace geovanta

#pragma once
// Place names for positions: the country whose borders hold a position, and
// the nearest town of that country within reach, with the town's region, in
// the language asked. The data sets live in one folder (data/places in the
// sources, share/geovanta/places when installed; app/programpaths.h finds
// it): borders.bin (CountryBorders), towns.tsv (TownList) and countries.tsv,
// the countries' names:
//   C  code  English  Russian      one line per country; "#" starts a comment
// They take some 15 MB once loaded, so a finder is made only while place
// names are asked for, and shared.

#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "geo/countryborders.h"
#include "geo/townlist.h"
#include "table/messages.h"

namespace geovanta {

inline constexpr double kPlaceMaxKm = 25;

struct Place {
    std::string city;         // the nearest town of the country within reach; empty when none is
    std::string region;       // that town's region; empty with no town
    std::string country;
    std::string countryCode;  // ISO 3166-1 alpha-2 ("XK" for Kosovo)
};

// A town as the time zones want it: where it is and its zone.
struct ZoneTown {
    std::string name;
    std::string countryCode;
    std::string zone;  // IANA, e.g. "Atlantic/Reykjavik"
    double lat = 0, lon = 0;
    double metres = 0;  // from the position asked about
};

class PlaceFinder {
public:
    // Reads the data sets in `folder`. None when a file is missing, unreadable
    // or damaged, with the reason in `error`, a text of the catalogue.
    static std::unique_ptr<PlaceFinder> load(const std::string& folder, std::string& error);
    // The process's finder for `folder`: loaded at the first call and shared
    // by every caller that holds it; freed when the last lets it go.
    static std::shared_ptr<const PlaceFinder> shared(const std::string& folder, std::string& error);

    // None at sea or outside every border; a place without a town when no
    // town of the country lies within `maxKm`.
    std::optional<Place> placeAt(double lat, double lon, Language language, double maxKm = kPlaceMaxKm) const;
    std::optional<std::string> countryCodeAt(double lat, double lon) const;
    // The nearest town of the country `countryCode` within `maxKm` (any
    // distance by default), wherever the position is.
    std::optional<ZoneTown> nearestTownOf(std::string_view countryCode, double lat, double lon, Language language,
                                          double maxKm = std::numeric_limits<double>::infinity()) const;
    // The same for the country that holds the position; none at sea.
    std::optional<ZoneTown> nearestTownHere(double lat, double lon, Language language,
                                            double maxKm = std::numeric_limits<double>::infinity()) const;

private:
    struct CountryName {
        CountryCode code = 0;
        std::string english, russian;
    };
    PlaceFinder(CountryBorders borders, TownList towns, std::vector<CountryName> names);
    static std::optional<std::vector<CountryName>> parseCountries(std::string_view text, std::size_t& badLine);
    const CountryName* countryName(CountryCode code) const;
    std::optional<ZoneTown> zoneTown(CountryCode country, double lat, double lon, Language language, double maxKm) const;

    CountryBorders borders_;
    TownList towns_;
    std::vector<CountryName> names_;  // ordered by code
};

}  // namespace geovanta

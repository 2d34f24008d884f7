#pragma once
// The towns of the world with their regions and time zones, in English and
// in Russian (data/places/towns.tsv, made by make-towns.py), and the nearest
// of them to a position.
//
// The file is text, one record a line, fields apart by tabs:
//   Z  zone                              IANA time zone, numbered from 0 in order
//   R  country  English  Russian         a region, numbered from 0 in order
//   T  latitude  longitude  country  region  zone  English  Russian
// An empty Russian name is the English one; lines starting "#" are comments.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "geo/countrycode.h"
#include "table/messages.h"

namespace geovanta {

class TownList {
public:
    // A name or zone: where it is in the text pool.
    struct Text {
        uint32_t offset = 0, length = 0;
    };
    struct Town {
        double lat = 0, lon = 0;
        CountryCode country = 0;
        uint32_t region = 0;
        uint32_t zone = 0;
        Text english, russian;
    };
    // The nearest town found and its distance.
    struct Nearest {
        const Town* town = nullptr;
        double metres = 0;
    };

    // The file's text; on a line that is no record of the kind above, none,
    // with that line's number in `badLine`.
    static std::optional<TownList> parse(std::string_view text, std::size_t& badLine);

    // The nearest town of `country` within `maxMetres` of the position (any
    // distance when it is infinite), else none.
    std::optional<Nearest> nearest(double lat, double lon, CountryCode country, double maxMetres) const;

    std::string_view name(const Town& town, Language language) const;
    std::string_view regionName(const Town& town, Language language) const;
    std::string_view zone(const Town& town) const { return text(zones_[town.zone]); }
    std::size_t size() const { return towns_.size(); }

private:
    struct Region {
        CountryCode country = 0;
        Text english, russian;
    };
    bool addRecord(std::string_view line);
    Text keep(std::string_view text);
    std::string_view text(Text t) const { return std::string_view(pool_).substr(t.offset, t.length); }
    void buildIndex();
    // Tries the towns [begin, end) of towns_, keeping the nearest of `country` within `best`.
    void tryTowns(uint32_t begin, uint32_t end, double lat, double lon, CountryCode country, Nearest& best) const;

    std::string pool_;  // every name and zone
    std::vector<Text> zones_;
    std::vector<Region> regions_;
    std::vector<Town> towns_;         // ordered by grid cell
    std::vector<uint32_t> cells_;     // first town of each cell, and one past the last
    std::vector<uint32_t> byCountry_;  // town numbers ordered by country
};

}  // namespace geovanta

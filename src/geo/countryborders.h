#pragma once
// Which country's borders hold a position on the earth, from the borders data
// set (data/places/borders.bin, made by make-borders.py: rings of points on a
// grid of steps, per country, bounding it by the even-odd rule).
//
// The borders are generalised to about a kilometre, so a photograph on the
// quay or the beach may fall just off the coast line: a position outside
// every border takes the country whose edge lies within `coastMetres`; past
// that it is at sea, in no country.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "geo/countrycode.h"

namespace geovanta {

inline constexpr double kCoastMetres = 2000;

class CountryBorders {
public:
    // The file's bytes as they are; none when they are not a borders file
    // or do not add up (counts past the end, coordinates off the grid).
    static std::optional<CountryBorders> parse(std::string_view bytes);

    std::optional<CountryCode> countryAt(double lat, double lon, double coastMetres = kCoastMetres) const;
    std::size_t countryCount() const { return countries_.size(); }

private:
    struct Edge {
        int32_t x1, y1, x2, y2;
    };
    struct Country {
        CountryCode code = 0;
        int32_t minX = 0, maxX = 0, minY = 0, maxY = 0;
        uint32_t firstBand = 0;  // into bandStarts_, which holds bandCount + 1 entries for it
        uint32_t bandCount = 0;
    };
    // Adds a country's rings, points as steps, and indexes its edges by band.
    void addCountry(CountryCode code, const std::vector<std::vector<int32_t>>& rings);
    bool holds(const Country& country, double x, double y) const;
    // Metres from the position to the country's nearest edge, if within `limit`.
    std::optional<double> edgeWithin(const Country& country, double x, double y, double lat, double limit) const;

    double scaleX_ = 1, scaleY_ = 1, offsetX_ = 0, offsetY_ = 0;
    int32_t turn_ = 0;  // steps in 360 degrees of longitude
    std::vector<Country> countries_;
    std::vector<uint32_t> bandStarts_;
    std::vector<Edge> edges_;
};

}  // namespace geovanta

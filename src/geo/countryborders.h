#pragma once
// Which country's borders hold a position on the earth, from the borders data
// set (data/places/borders.bin, made by make-borders.py: rings of points on a
// grid of steps, per country, bounding it by the even-odd rule).
//
// The borders are generalised to about a kilometre, so a photograph on the
// quay or the beach may fall just off the coast line: a position outside
// every border takes the country whose edge lies within kCoastMetres; past
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

    std::optional<CountryCode> countryAt(double lat, double lon) const;

private:
    struct Ring {
        uint32_t first = 0;  // into points_, counted in points; the first point comes again last
        uint32_t count = 0;
    };
    struct Country {
        CountryCode code = 0;
        int32_t minX = 0, maxX = 0, minY = 0, maxY = 0;
        uint32_t firstRing = 0, ringCount = 0;
        uint32_t firstBand = 0;  // into bandStarts_, which holds bandCount + 1 entries for it
        uint32_t bandCount = 0;
    };
    // Walks the countries and rings after the header: checks them and counts
    // their points, or, with `keep`, stores them.
    bool readCountries(std::string_view bytes, uint32_t countries, bool keep, std::size_t& points);
    // Each edge goes into every band of latitude it touches. False when the
    // bands would be far more than any borders need.
    bool indexBands();
    // Each country goes into every cell of the grid that its rings, or the
    // reach of their coasts, touch. False when that is far more than any
    // borders need.
    bool indexCells();
    bool holds(const Country& country, double x, double y) const;
    // Metres from the position to the country's nearest edge, if within `limit`;
    // `metresX` and `metresY` are the metres of a step there.
    std::optional<double> edgeWithin(const Country& country, double x, double y, double metresX, double metresY,
                                     double limit) const;

    double scaleX_ = 1, scaleY_ = 1, offsetX_ = 0, offsetY_ = 0;
    int32_t turn_ = 0;  // steps in 360 degrees of longitude
    std::vector<Country> countries_;
    std::vector<Ring> rings_;
    std::vector<int32_t> points_;  // x and y in steps
    // Per band of each country, its edges as the number of their first point.
    std::vector<uint32_t> bandStarts_;
    std::vector<uint32_t> bandEdges_;
    // For each cell of a degree, the countries a position there can be in or near.
    std::vector<uint32_t> cellStarts_;
    std::vector<uint16_t> cellCountries_;
};

}  // namespace geovanta

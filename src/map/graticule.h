#pragma once
// Lines of latitude and longitude at a round step (degrees, then minutes,
// then seconds), at least a given distance apart on screen, for the plain
// background the map shows when it has no tiles.

#include <vector>

#include "map/viewport.h"

namespace geovanta {

struct Graticule {
    double step = 0;                 // degrees between neighbouring lines
    std::vector<double> longitudes;  // degrees, west to east, inside the view
    std::vector<double> latitudes;   // degrees, north to south, inside the view

    static Graticule forView(const Viewport& view, double minSpacing);
};

}  // namespace geovanta

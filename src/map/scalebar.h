#pragma once
// The scale bar: the longest round distance (1, 2 or 5 times a power of ten
// metres) that fits in the room given, measured at the centre of the view.

#include <string>

#include "map/viewport.h"

namespace geovanta {

struct ScaleBar {
    double pixels = 0;
    double metres = 0;
    std::string text;  // "200 m", "5 km" in the process's language

    static ScaleBar forView(const Viewport& view, double maxPixels);
};

}  // namespace geovanta

#pragma once
// Which map tiles cover a view, and where each one goes on screen. Tiles of
// the whole zoom level nearest to the view's zoom are drawn, scaled to fit.

#include <cstddef>
#include <functional>
#include <vector>

#include "map/viewport.h"

namespace geovanta {

struct TileKey {
    int z = 0;
    int x = 0;
    int y = 0;

    bool operator==(const TileKey&) const = default;
    // The tile one level up that contains this one, and where in it this one sits.
    TileKey parent() const { return {z - 1, x >> 1, y >> 1}; }
};

struct TileKeyHash {
    std::size_t operator()(const TileKey& k) const {
        const auto u = [](int v) { return static_cast<unsigned long long>(static_cast<unsigned>(v)); };
        return std::hash<unsigned long long>()(u(k.z) << 58 ^ u(k.x) << 29 ^ u(k.y));
    }
};

struct TilePlacement {
    TileKey key;
    double left = 0;
    double top = 0;
    double size = 0;  // pixels per side
};

struct TileCoverage {
    int zoom = 0;
    std::vector<TilePlacement> tiles;  // the middle of the view first

    // Only tiles that exist: nothing beyond the map's edges, no wrapping.
    static TileCoverage forView(const Viewport& view, int maxTileZoom);
};

}  // namespace geovanta

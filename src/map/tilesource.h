#pragma once
// A tile server named by a URL template with {z}, {x} and {y} in it, as the
// settings file gives it.

#include <optional>
#include <string>
#include <string_view>

#include "map/tilegrid.h"

namespace geovanta {

class TileSource {
public:
    static constexpr const char* kSettingKey = "MapTiles";
    static constexpr const char* kOpenStreetMap = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
    static constexpr int kMaxZoom = 19;  // the deepest level the common servers draw

    // The setting's value: a missing key means OpenStreetMap's standard
    // tiles, an empty one no tiles at all.
    static TileSource fromSetting(const std::optional<std::string>& value);

    TileSource() = default;
    explicit TileSource(std::string urlTemplate);

    // Only http and https templates holding all three fields are fetched;
    // anything else would read local files or could not name a tile.
    bool enabled() const { return valid_; }
    const std::string& urlTemplate() const { return template_; }
    std::string url(const TileKey& key) const;

private:
    std::string template_;
    bool valid_ = false;
};

}  // namespace geovanta

#include "map/tilesource.h"

#include <algorithm>
#include <cctype>

namespace geovanta {
namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char p, char t) { return std::tolower(static_cast<unsigned char>(t)) == p; });
}

void replaceAll(std::string& text, std::string_view field, const std::string& value) {
    for (std::size_t at = text.find(field); at != std::string::npos; at = text.find(field, at + value.size())) {
        text.replace(at, field.size(), value);
    }
}

}  // namespace

TileSource TileSource::fromSetting(const std::optional<std::string>& value) {
    return TileSource(value ? *value : std::string(kOpenStreetMap));
}

TileSource::TileSource(std::string urlTemplate) : template_(std::move(urlTemplate)) {
    const bool web = startsWithNoCase(template_, "https://") || startsWithNoCase(template_, "http://");
    valid_ = web && template_.find("{z}") != std::string::npos && template_.find("{x}") != std::string::npos &&
             template_.find("{y}") != std::string::npos;
}

std::string TileSource::url(const TileKey& key) const {
    std::string out = template_;
    replaceAll(out, "{z}", std::to_string(key.z));
    replaceAll(out, "{x}", std::to_string(key.x));
    replaceAll(out, "{y}", std::to_string(key.y));
    return out;
}

}  // namespace geovanta

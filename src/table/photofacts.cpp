#include "table/photofacts.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <utility>

#include "table/textcodec.h"

namespace geovanta {
std::string_view comparedSerial(std::string_view serial) {
    if (serial.empty() || serial.find_first_not_of("0123456789") != std::string_view::npos) return serial;
    const std::size_t first = serial.find_first_not_of('0');
    return first == std::string_view::npos ? serial.substr(serial.size() - 1) : serial.substr(first);
}

namespace {

std::string_view lastChars(std::string_view text, std::size_t n) {
    return n >= text.size() ? text : text.substr(text.size() - n);
}

// The fewest last characters, at least 4, in which the serials all differ.
// Serials that differ as a whole differ in their last characters once the
// longest is shown whole, so this ends.
std::size_t distinguishingEnd(const std::vector<std::string_view>& serials) {
    std::size_t longest = 0;
    for (std::string_view s : serials) longest = std::max(longest, s.size());
    constexpr std::size_t kLeast = 4;
    for (std::size_t n = kLeast; n < longest; ++n) {
        std::set<std::string_view> ends;
        bool distinct = true;
        for (std::string_view s : serials) distinct = distinct && ends.insert(lastChars(s, n)).second;
        if (distinct) return n;
    }
    return std::max(longest, kLeast);
}

}  // namespace

bool operator==(const CameraKey& a, const CameraKey& b) {
    return a.make == b.make && a.model == b.model && comparedSerial(a.serial) == comparedSerial(b.serial);
}

std::size_t CameraKeyHash::operator()(const CameraKey& key) const {
    const std::hash<std::string_view> h;
    std::size_t seed = h(key.make);
    for (std::string_view part : {std::string_view(key.model), comparedSerial(key.serial)})
        seed ^= h(part) + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
    return seed;
}

std::string cameraText(const CameraKey& key, std::size_t serialEnd) {
    std::string text = key.model.empty() ? key.make : key.model;
    if (serialEnd == 0 || key.serial.empty()) return text;
    if (!text.empty()) text += ' ';
    text += "\u2026";
    text += lastChars(key.serial, serialEnd);
    return text;
}

std::vector<std::size_t> serialEnds(const std::vector<const CameraKey*>& cameras) {
    // The bodies with a serial, by make and model.
    std::map<std::pair<std::string_view, std::string_view>, std::vector<std::size_t>> models;
    for (std::size_t k = 0; k < cameras.size(); ++k)
        if (!cameras[k]->serial.empty()) models[{cameras[k]->make, cameras[k]->model}].push_back(k);
    std::vector<std::size_t> ends(cameras.size(), 0);
    for (const auto& [model, bodies] : models) {
        if (bodies.size() < 2) continue;
        std::vector<std::string_view> serials;
        for (std::size_t k : bodies) serials.push_back(comparedSerial(cameras[k]->serial));
        const std::size_t n = distinguishingEnd(serials);
        for (std::size_t k : bodies) ends[k] = n;
    }
    return ends;
}

void PlaceNames::set(PlacePart part, std::string_view name, NameSource from) {
    const auto k = static_cast<std::size_t>(part);
    text[k] = cutToWidth(name, kMaxPlaceName);
    source[k] = text[k].empty() && from != NameSource::Person ? NameSource::None : from;
}

bool PlaceNames::empty() const {
    return std::all_of(source.begin(), source.end(), [](NameSource s) { return s == NameSource::None; });
}

std::size_t PlaceNamesHash::operator()(const PlaceNames& names) const {
    const std::hash<std::string_view> h;
    std::size_t seed = 0;
    for (std::size_t k = 0; k < kPlaceParts; ++k)
        seed ^= h(names.text[k]) + static_cast<std::size_t>(names.source[k]) + 0x9e3779b97f4a7c15ULL + (seed << 6) +
                (seed >> 2);
    return seed;
}

PlaceNames withLookup(const PlaceNames& names, const std::optional<std::array<std::string, kPlaceParts>>& found,
                      bool replacePhotos) {
    const bool photoNamed = std::find(names.source.begin(), names.source.end(), NameSource::Photo) != names.source.end();
    const bool lookupTaken = replacePhotos || !photoNamed;
    PlaceNames out;
    for (std::size_t k = 0; k < kPlaceParts; ++k) {
        const auto part = static_cast<PlacePart>(k);
        const NameSource s = names.source[k];
        if (s == NameSource::Person || (s == NameSource::Photo && !replacePhotos))
            out.set(part, names.text[k], s);
        else if (lookupTaken && found)
            out.set(part, (*found)[k], NameSource::Lookup);
    }
    return out;
}

PlaceNames withPersonName(const PlaceNames& names, PlacePart part, std::string_view name) {
    PlaceNames out = names;
    out.set(part, name, NameSource::Person);
    const auto code = static_cast<std::size_t>(PlacePart::CountryCode);
    if (part == PlacePart::Country && name != names[PlacePart::Country] && out.source[code] != NameSource::Person)
        out.set(PlacePart::CountryCode, "", NameSource::Person);
    return out;
}

}  // namespace geovanta

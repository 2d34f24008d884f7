#include "table/photofacts.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <utility>

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

}  // namespace geovanta

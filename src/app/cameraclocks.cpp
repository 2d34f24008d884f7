#include "app/cameraclocks.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <unordered_map>

#include "app/programpaths.h"
#include "geo/zonedata.h"
#include "table/asciicase.h"
#include "table/datatable.h"
#include "table/numbertext.h"

namespace geovanta {
namespace {

constexpr char kSeparator = ';';

void fnv1a(uint64_t& hash, std::string_view text) {
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    hash ^= 0xFF;  // ends each text, so that no two splits of one string meet
    hash *= 0x100000001b3ULL;
}

std::string encoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool endBlank = c == ' ' && (i == 0 || i + 1 == text.size());
        if (c == '%' || c == kSeparator || c < 0x20 || c == 0x7F || endBlank) {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<std::string> decoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        const int hi = i + 2 < text.size() ? hexDigit(text[i + 1]) : -1;
        const int lo = hi >= 0 ? hexDigit(text[i + 2]) : -1;
        if (lo < 0) return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    if (out.size() > kMaxCameraText) return std::nullopt;
    return out;
}

}  // namespace

std::shared_ptr<const ZoneData> programZoneData() {
    const ProgramPaths& paths = ProgramPaths::current();
    return ZoneData::shared(paths.dataFolder + std::string(kZoneMapFileName), paths.placeData);
}

std::string cameraSettingKey(const CameraKey& camera) {
    uint64_t hash = 0xcbf29ce484222325ULL;
    fnv1a(hash, camera.make);
    fnv1a(hash, camera.model);
    fnv1a(hash, comparedSerial(camera.serial));
    char buf[24];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(hash));
    return std::string("Camera.") + buf;
}

std::string cameraSettingValue(const CameraClock& clock) {
    std::string value = clock.offset ? formatGeneral(*clock.offset) : std::string();
    value += kSeparator;
    value += clock.localTime ? '1' : '0';
    for (const std::string* text : {&clock.camera.make, &clock.camera.model, &clock.camera.serial}) {
        value += kSeparator;
        value += encoded(*text);
    }
    return value;
}

std::optional<CameraClock> parseCameraSetting(std::string_view value) {
    std::vector<std::string_view> parts;
    for (std::size_t from = 0; parts.size() <= 5;) {
        const std::size_t at = value.find(kSeparator, from);
        parts.push_back(value.substr(from, at == std::string_view::npos ? at : at - from));
        if (at == std::string_view::npos) break;
        from = at + 1;
    }
    if (parts.size() != 5 || (parts[1] != "0" && parts[1] != "1")) return std::nullopt;
    CameraClock clock;
    if (!parts[0].empty()) {
        const std::optional<double> days = parseNumber(parts[0]);
        if (!days || !std::isfinite(*days) || std::fabs(*days) > kMaxCameraOffsetDays) return std::nullopt;
        clock.offset = *days;
    }
    clock.localTime = parts[1] == "1";
    const auto make = decoded(parts[2]), model = decoded(parts[3]), serial = decoded(parts[4]);
    if (!make || !model || !serial) return std::nullopt;
    clock.camera = {*make, *model, *serial};
    if (clock.camera.empty()) return std::nullopt;
    return clock;
}

std::vector<LoadedCamera> camerasIn(const DataTable& table) {
    // Cameras are kept once each in the table: counted by where they are kept.
    std::unordered_map<const CameraKey*, std::size_t> at;
    std::vector<LoadedCamera> cameras;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        if (!table.isPhoto(row)) continue;
        const CameraKey* camera = table.camera(row);
        if (!camera) continue;
        const auto [it, added] = at.try_emplace(camera, cameras.size());
        if (added) cameras.push_back({*camera, table.cameraText(row), 0});
        ++cameras[it->second].photos;
    }
    std::sort(cameras.begin(), cameras.end(), [](const LoadedCamera& a, const LoadedCamera& b) {
        return a.name != b.name ? a.name < b.name : a.camera.serial < b.camera.serial;
    });
    return cameras;
}

const CameraClock* findClock(const std::vector<CameraClock>& clocks, const CameraKey& camera) {
    const auto it =
        std::find_if(clocks.begin(), clocks.end(), [&](const CameraClock& c) { return c.camera == camera; });
    return it == clocks.end() ? nullptr : &*it;
}

void keepClock(std::vector<CameraClock>& clocks, const CameraClock& clock) {
    const auto it =
        std::find_if(clocks.begin(), clocks.end(), [&](const CameraClock& c) { return c.camera == clock.camera; });
    if (it == clocks.end())
        clocks.push_back(clock);
    else
        *it = clock;
}

bool cameraNamed(const CameraKey& camera, std::string_view name) {
    if (name.empty()) return false;
    if (equalsIgnoringAsciiCase(camera.model, name)) return true;
    if (!camera.make.empty() && equalsIgnoringAsciiCase(camera.make + " " + camera.model, name)) return true;
    return !camera.serial.empty() && equalsIgnoringAsciiCase(comparedSerial(camera.serial), comparedSerial(name));
}

}  // namespace geovanta

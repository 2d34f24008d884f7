#include "app/settings.h"

#include <filesystem>
#include <system_error>

#include "app/inifile.h"
#include "table/numbertext.h"

namespace geovanta {

ProgramState SettingsFile::read(const std::string& defaultFolder) const {
    const IniFile ini = IniFile::load(path_);
    auto text = [&](const char* key) { return ini.value(kSection, key); };
    auto real = [&](const char* key, double def) {
        const auto v = text(key);
        if (!v) return def;
        return parseNumber(*v).value_or(def);
    };
    ProgramState s;
    s.trackOffset = real("DeltaTrack", 0);
    s.photoOffset = real("DeltaFoto", 0);
    if (const auto v = text("DeltaSec")) s.tolerance = parseInteger(*v).value_or(300);
    s.photoFolder = text("FotoPath").value_or(defaultFolder);
    s.dataFolder = text("DataPath").value_or(defaultFolder);
    s.windowGeometry = text(kWindowGeometryKey).value_or("");
    s.mapPanel = text(kMapPanelKey).value_or("");
    s.mapTiles = text(kMapTilesKey);
    if (const auto v = text(kExifToolTimeoutKey)) {
        const auto seconds = parseInteger(*v);
        if (seconds && *seconds >= 1) s.exifToolTimeout = *seconds;
    }
    return s;
}

std::optional<std::string> SettingsFile::writeString(std::string_view key, std::string_view value) const {
    if (makeFolder_) {
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ec);
    }
    if (IniFile::writeValue(path_, kSection, key, value)) return std::nullopt;
    return "Unable to write to " + path_;
}

std::optional<std::string> SettingsFile::writeFloat(std::string_view key, double value) const {
    return writeString(key, formatGeneral(value));
}

std::optional<std::string> SettingsFile::writeInteger(std::string_view key, int32_t value) const {
    return writeString(key, std::to_string(value));
}

}  // namespace geovanta

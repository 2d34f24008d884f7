#pragma once
// The settings file Geovanta.ini beside the executable, section "Setting".

#include <optional>
#include <string>
#include <string_view>

#include "app/programstate.h"

namespace geovanta {

class SettingsFile {
public:
    static constexpr const char* kFileName = "Geovanta.ini";
    static constexpr const char* kSection = "Setting";
    // The main window's place and size between runs.
    static constexpr const char* kWindowGeometryKey = "WindowGeometry";
    static constexpr const char* kMapPanelKey = "MapPanel";
    // An XYZ tile server's {z}/{x}/{y} URL template for the map.
    static constexpr const char* kMapTilesKey = "MapTiles";
    // Seconds ExifTool may take per photograph; below 1 or unreadable: 60.
    static constexpr const char* kExifToolTimeoutKey = "ExifToolTimeout";

    // With `makeFolder` the first write makes the file's folder, as the
    // user's configuration folder may not exist yet; a folder beside the
    // executable is never made.
    explicit SettingsFile(std::string path, bool makeFolder = false)
        : path_(std::move(path)), makeFolder_(makeFolder) {}
    // The file in the given folder (which ends with a separator).
    static SettingsFile inFolder(const std::string& folder) { return SettingsFile(folder + kFileName); }

    const std::string& path() const { return path_; }

    // Offsets, tolerance and folders with their defaults; both folders default
    // to `defaultFolder`. The track counter starts at 0.
    ProgramState read(const std::string& defaultFolder) const;

    // Each write opens the file anew and replaces one key. On failure the
    // result is the message "Unable to write to <path>".
    std::optional<std::string> writeString(std::string_view key, std::string_view value) const;
    std::optional<std::string> writeFloat(std::string_view key, double value) const;
    std::optional<std::string> writeInteger(std::string_view key, int32_t value) const;

private:
    std::string path_;
    bool makeFolder_ = false;
};

}  // namespace geovanta

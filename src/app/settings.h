#pragma once
// The settings file Geovanta.ini beside the executable, section "Setting".

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/programstate.h"

namespace geovanta {

class SettingsFile {
public:
    static constexpr const char* kFileName = "Geovanta.ini";
    static constexpr const char* kSection = "Setting";
    // The main window's place and size between runs.
    static constexpr const char* kWindowGeometryKey = "WindowGeometry";
    static constexpr const char* kMapPanelKey = "MapPanel";
    // 1 when the grid shows the photographs alone, else 0.
    static constexpr const char* kPhotosOnlyKey = "PhotosOnly";
    // An XYZ tile server's {z}/{x}/{y} URL template for the map.
    static constexpr const char* kMapTilesKey = "MapTiles";
    // Seconds ExifTool may take per photograph; below 1 or unreadable: 60.
    static constexpr const char* kExifToolTimeoutKey = "ExifToolTimeout";
    // 1 when photo folders are scanned with the folders inside them, else 0.
    static constexpr const char* kRecursiveKey = "Recursive";
    // The window's language: "ru", "en", or empty for the locale's.
    static constexpr const char* kLanguageKey = "Language";
    // 1 when photographs are brought to UTC by their own zones, else 0.
    static constexpr const char* kPhotoZonesKey = "PhotoZones";
    // 1 when positions go into XMP files beside the photographs, "raw" when
    // only raw files' do, else 0.
    static constexpr const char* kWriteSidecarsKey = "WriteSidecars";
    static constexpr const char* kRawSidecarsValue = "raw";
    // 1 when a photograph's own position is kept, else 0.
    static constexpr const char* kKeepExistingKey = "KeepExisting";
    // 1 when unplaced photographs' positions are taken out, else 0.
    static constexpr const char* kClearUnplacedKey = "ClearUnplaced";
    // "full" names them IMG_0001.CR3.xmp; anything else IMG_0001.xmp.
    static constexpr const char* kSidecarNameKey = "SidecarName";
    // Metres: location-history points reported less accurate are left out.
    static constexpr const char* kMaxAccuracyKey = "MaxAccuracyM";
    // 1 when photographs get the names of their town, region and country.
    static constexpr const char* kPlacesKey = "Places";
    // Kilometres within which a photograph's town lies; above 0 up to 1000.
    static constexpr const char* kPlaceMaxKmKey = "PlaceMaxKm";
    // 1 when names the photographs carried give way to the lookup's.
    static constexpr const char* kReplacePlaceNamesKey = "ReplacePlaceNames";
    // 1 when the tag write adds the direction and speed of travel.
    static constexpr const char* kTravelDirectionKey = "TravelDirection";
    // PrivacyZone1, PrivacyZone2, …: "LAT,LON,RADIUS_M,NAME" each, up to the
    // first missing or empty one.
    static constexpr const char* kPrivacyZoneKey = "PrivacyZone";
    static constexpr int kMaxPrivacyZones = 100;
    // Each camera's clock, a key per camera (app/cameraclocks.h).
    static constexpr const char* kCamerasSection = "Cameras";
    // 1: the tag write records the zones found for cameras on local time.
    static constexpr const char* kWriteZonesKey = "WriteZones";

    // With `makeFolder` the first write makes the file's folder, as the
    // user's configuration folder may not exist yet; a folder beside the
    // executable is never made.
    explicit SettingsFile(std::string path, bool makeFolder = false)
        : path_(std::move(path)), makeFolder_(makeFolder) {}
    // The file in the given folder (which ends with a separator).
    static SettingsFile inFolder(const std::string& folder) { return SettingsFile(folder + kFileName); }

    const std::string& path() const { return path_; }

    // Offsets, tolerance and folders with their defaults; both folders default
    // to `defaultFolder`, a tolerance below 0 reads as the default. The track
    // counter starts at 0. A file that is there but cannot be read gives the
    // defaults, with no map tiles: the file may well have turned them off.
    ProgramState read(const std::string& defaultFolder) const;
    // The same at the program's start, adding to `messages` what the person
    // must be told: the file could not be read, and why (this object then
    // never writes over it, so that none of its settings is lost), or a
    // value was out of range.
    ProgramState readAtStart(const std::string& defaultFolder, std::vector<std::string>& messages);

    // Each write opens the file anew and replaces one key. On failure the
    // result is the message "Unable to write to <path>", or, for a file that
    // could not be read at start, a message that says so.
    std::optional<std::string> writeString(std::string_view key, std::string_view value) const;
    std::optional<std::string> writeFloat(std::string_view key, double value) const;
    std::optional<std::string> writeInteger(std::string_view key, int32_t value) const;
    // Every zone under its number, and the number after the last emptied, so
    // that zones taken away are not read again.
    std::optional<std::string> writePrivacyZones(const PrivacyZones& zones) const;
    // WriteSidecars as `target` says.
    std::optional<std::string> writeTarget(WriteTarget target) const;
    // A camera's clock in [Cameras], in place of what was kept for that camera.
    std::optional<std::string> writeCamera(const CameraClock& clock) const;

private:
    std::optional<std::string> writeIn(std::string_view section, std::string_view key, std::string_view value) const;
    ProgramState readState(const std::string& defaultFolder, std::vector<std::string>* messages,
                           std::string* whyUnread) const;

    std::string path_;
    bool makeFolder_ = false;
    std::optional<std::string> unread_;  // why the file could not be read at start
};

}  // namespace geovanta

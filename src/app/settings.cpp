#include "app/settings.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/cameraclocks.h"
#include "app/inifile.h"
#include "table/messages.h"
#include "table/asciicase.h"
#include "table/numbertext.h"

namespace geovanta {

namespace {

constexpr int32_t kDefaultTolerance = 300;
// No town is a thousand kilometres from anywhere it would name.
constexpr double kMaxPlaceKm = 1000;

}  // namespace

ProgramState SettingsFile::read(const std::string& defaultFolder) const {
    return readState(defaultFolder, nullptr, nullptr);
}

ProgramState SettingsFile::readAtStart(const std::string& defaultFolder, std::vector<std::string>& messages) {
    std::string whyUnread;
    ProgramState state = readState(defaultFolder, &messages, &whyUnread);
    if (!whyUnread.empty()) unread_ = whyUnread;
    return state;
}

ProgramState SettingsFile::readState(const std::string& defaultFolder, std::vector<std::string>* messages,
                                     std::string* whyUnread) const {
    std::string why;
    const std::optional<IniFile> read = IniFile::read(path_, &why);
    if (!read && messages)
        messages->push_back(textOf(Msg::CannotReadSettings, {path_, why}));
    if (!read && whyUnread) *whyUnread = why;
    const IniFile ini = read.value_or(IniFile());
    auto text = [&](const char* key) { return ini.value(kSection, key); };
    auto real = [&](const char* key, double def) {
        const auto v = text(key);
        if (!v) return def;
        return parseNumber(*v).value_or(def);
    };
    ProgramState s;
    s.trackOffset = real("DeltaTrack", 0);
    s.photoOffset = real("DeltaFoto", 0);
    if (const auto v = text("DeltaSec")) s.tolerance = parseInteger(*v).value_or(kDefaultTolerance);
    // A negative tolerance would place no photograph at all.
    if (s.tolerance < 0) {
        if (messages)
            messages->push_back(textOf(Msg::NegativeTolerance, {s.tolerance, path_, kDefaultTolerance}));
        s.tolerance = kDefaultTolerance;
    }
    auto flag = [&](const char* key) {
        const auto v = text(key);
        return v && parseInteger(*v).value_or(0) != 0;
    };
    s.photoZones = flag(kPhotoZonesKey);
    if (const auto v = text(kWriteSidecarsKey)) {
        if (equalsIgnoringAsciiCase(*v, kRawSidecarsValue)) s.writeTarget = WriteTarget::RawSidecars;
        else if (flag(kWriteSidecarsKey)) s.writeTarget = WriteTarget::Sidecars;
    }
    s.keepExisting = flag(kKeepExistingKey);
    s.clearUnplaced = flag(kClearUnplacedKey);
    s.writeZones = flag(kWriteZonesKey);
    if (const auto v = text(kSidecarNameKey)) s.sidecarFullName = equalsIgnoringAsciiCase(*v, "full");
    s.photoFolder = text("FotoPath").value_or(defaultFolder);
    s.photoSubfolders = flag(kRecursiveKey);
    s.dataFolder = text("DataPath").value_or(defaultFolder);
    s.windowGeometry = text(kWindowGeometryKey).value_or("");
    s.mapPanel = text(kMapPanelKey).value_or("");
    s.photosOnly = flag(kPhotosOnlyKey);
    // Standard tiles only where the key is really missing, not where the
    // file that might have turned them off could not be read.
    s.mapTiles = read ? text(kMapTilesKey) : std::string();
    if (const auto v = text(kExifToolTimeoutKey)) {
        const auto seconds = parseInteger(*v);
        if (seconds && *seconds >= 1) s.exifToolTimeout = *seconds;
    }
    s.language = text(kLanguageKey).value_or("");
    // A camera kept twice (a file edited by hand) counts as its last line says.
    for (const auto& [key, value] : ini.entries(kCamerasSection))
        if (const std::optional<CameraClock> clock = parseCameraSetting(value)) keepClock(s.cameras, *clock);
    std::erase_if(s.cameras, [](const CameraClock& c) { return !c.offset && !c.localTime; });
    if (const auto v = text(kMaxAccuracyKey)) {
        const auto metres = parseNumber(*v);
        if (metres && *metres > 0 && *metres <= 1e7) s.maxAccuracyM = *metres;
    }
    s.placeNames = flag(kPlacesKey);
    s.replacePlaceNames = flag(kReplacePlaceNamesKey);
    s.travelDirection = flag(kTravelDirectionKey);
    if (const auto v = text(kPlaceMaxKmKey)) {
        const auto km = parseNumber(*v);
        if (km && *km > 0 && *km <= kMaxPlaceKm) s.placeMaxKm = *km;
    }
    // A zone that cannot be read is passed over and the person told: a
    // home left unguarded must not go unnoticed.
    for (int k = 1; k <= kMaxPrivacyZones; ++k) {
        const std::string key = kPrivacyZoneKey + std::to_string(k);
        const auto v = text(key.c_str());
        if (!v || v->empty()) break;
        if (const auto zone = parseZone(*v))
            s.privacyZones.push_back(*zone);
        else if (messages)
            messages->push_back(textOf(Msg::PrivacyZoneUnreadable, {key, *v, path_}));
    }
    return s;
}

std::optional<std::string> SettingsFile::writeString(std::string_view key, std::string_view value) const {
    return writeIn(kSection, key, value);
}

std::optional<std::string> SettingsFile::writeCamera(const CameraClock& clock) const {
    return writeIn(kCamerasSection, cameraSettingKey(clock.camera), cameraSettingValue(clock));
}

std::optional<std::string> SettingsFile::writeIn(std::string_view section, std::string_view key,
                                                 std::string_view value) const {
    if (unread_)
        return textOf(Msg::NotSavedUnread, {path_, *unread_});
    if (makeFolder_) {
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ec);
    }
    if (IniFile::writeValue(path_, section, key, value)) return std::nullopt;
    return textOf(Msg::UnableToWriteTo, {path_});
}

std::optional<std::string> SettingsFile::writePrivacyZones(const PrivacyZones& zones) const {
    const std::size_t n = std::min<std::size_t>(zones.size(), kMaxPrivacyZones);
    for (std::size_t k = 0; k < n; ++k)
        if (auto error = writeString(kPrivacyZoneKey + std::to_string(k + 1), zoneText(zones[k]))) return error;
    if (n < kMaxPrivacyZones) return writeString(kPrivacyZoneKey + std::to_string(n + 1), "");
    return std::nullopt;
}

std::optional<std::string> SettingsFile::writeTarget(WriteTarget target) const {
    switch (target) {
        case WriteTarget::Photos: return writeString(kWriteSidecarsKey, "0");
        case WriteTarget::Sidecars: return writeString(kWriteSidecarsKey, "1");
        case WriteTarget::RawSidecars: return writeString(kWriteSidecarsKey, kRawSidecarsValue);
    }
    return std::nullopt;
}

std::optional<std::string> SettingsFile::writeFloat(std::string_view key, double value) const {
    return writeString(key, formatGeneral(value));
}

std::optional<std::string> SettingsFile::writeInteger(std::string_view key, int32_t value) const {
    return writeString(key, std::to_string(value));
}

}  // namespace geovanta

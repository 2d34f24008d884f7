#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "binding/calcpositions.h"
#include "binding/privacyzones.h"
#include "geo/placefinder.h"
#include "input/gpsread.h"

namespace geovanta {

// Where a write of GPS tags puts the positions: into the photographs, into
// an XMP file beside each, or beside the raw files alone, the others being
// written themselves.
enum class WriteTarget { Photos, Sidecars, RawSidecars };

// Program-wide state that the commands share: offsets, tolerance, folders and
// the track counter.
struct ProgramState {
    double trackOffset = 0;  // days, added to the times of track points and waypoints
    double photoOffset = 0;  // days, added to the times of photographs
    int32_t tolerance = 300; // seconds
    // Photographs that name their zone are brought to UTC by it before the
    // photo offset is added.
    bool photoZones = false;
    // The cameras with an offset of their own or on local time, as the
    // settings file keeps them: those of earlier trips as well as the ones
    // loaded now (app/cameraclocks.h).
    std::vector<CameraClock> cameras;
    // Every photograph's clock keeps local time (geovanta-cli --local-time).
    bool allLocalTime = false;
    // The tag write also records the zone found for a camera on local time.
    bool writeZones = false;
    // Where cameras on local time find their zones (geo/zonedata.h): the
    // program's data files. A state made in code has none.
    std::shared_ptr<const ZoneData> zones;
    std::string photoFolder;
    bool photoSubfolders = false;  // photo folders are scanned with the folders inside them
    std::string dataFolder;
    uint16_t trackCounter = 0;  // one more per accepted track file; wraps
    std::string windowGeometry;  // the main window's place and size, as the window saves it
    std::string mapPanel;        // how the grid and the map share the window, as the window saves it
    bool photosOnly = false;     // the grid shows the photographs alone
    // The map's tile server as the settings file names it: nothing when the
    // key is missing (the standard tiles), empty for none. A state made in
    // code has no tiles, so that nothing reaches the network unasked.
    std::optional<std::string> mapTiles = std::string();
    // Seconds ExifTool may take to answer about one photograph before it is
    // given up and the photograph reported.
    int exifToolTimeout = 60;
    // The window's language as the settings file names it: "ru", "en", or
    // empty for the locale's (app/language.h). Applies from the next start.
    std::string language;
    // Where positions go. An XMP file beside a photograph is named
    // IMG_0001.xmp, or IMG_0001.CR3.xmp with the full name.
    WriteTarget writeTarget = WriteTarget::Photos;
    bool sidecarFullName = false;
    // A photograph that carried a position of its own when it was scanned
    // is not written.
    bool keepExisting = false;
    // A photograph without a position has its GPS record taken out.
    bool clearUnplaced = false;
    // Location history: points whose reported accuracy is worse than this
    // many metres are left out.
    double maxAccuracyM = 100;
    // Photographs get the names of their town, region and country, looked
    // up offline; the town within this many kilometres.
    bool placeNames = false;
    double placeMaxKm = kPlaceMaxKm;
    // Where their data sets are; empty for the program's own
    // (ProgramPaths::placeData).
    std::string placeData;
    // The names lookup, while place names are on; loaded by whoever turns
    // them on (placenamesetup.h), as the data take some 15 MB.
    std::shared_ptr<const PlaceFinder> placeFinder;
    // The names a photograph carried give way to the lookup's.
    bool replacePlaceNames = false;
    // The tag write adds the direction and speed of travel.
    bool travelDirection = false;
    // Circles a photograph is never placed in.
    PrivacyZones privacyZones;
};

// The pass's parameters as the state holds them now; every command that runs
// the pass takes them from here.
inline BindingParams bindingParams(const ProgramState& state) {
    BindingParams params;
    params.trackOffset = state.trackOffset;
    params.photoOffset = state.photoOffset;
    params.tolerance = state.tolerance;
    params.photoZones = state.photoZones;
    params.privacyZones = state.privacyZones;
    if (state.placeNames) params.naming.finder = state.placeFinder;
    params.naming.language = currentLanguage();
    params.naming.maxKm = state.placeMaxKm;
    params.naming.replacePhotoNames = state.replacePlaceNames;
    params.cameras = state.cameras;
    params.allLocalTime = state.allLocalTime;
    params.zones = state.zones;
    return params;
}

// What the readers take from the state.
inline GpsReadOptions gpsReadOptions(const ProgramState& state) {
    GpsReadOptions options;
    options.maxAccuracyM = state.maxAccuracyM;
    options.photoSubfolders = state.photoSubfolders;
    options.photoZones = state.photoZones;
    options.photoOffsetDays = state.photoOffset;
    return options;
}

}  // namespace geovanta

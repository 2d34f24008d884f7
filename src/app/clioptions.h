#pragma once
#include <optional>
#include <string>
#include <vector>

#include "binding/privacyzones.h"

namespace geovanta {

// Command line of geovanta-cli.
struct CliOptions {
    double trackOffset = 0;
    double photoOffset = 0;
    int tolerance = 300;
    std::string csvFile;  // empty: standard output
    bool writeTags = false;  // write the placed photographs' GPS tags after loading
    int exifToolTimeout = 60;  // seconds ExifTool may take per photograph
    // Location histories: fixes whose reported accuracy is worse than this
    // many metres are left out.
    double maxAccuracyM = 100;
    bool recursive = false;  // photo folders are read with the folders inside them
    // --place NAME=LAT,LON: a photograph placed by hand once everything is loaded.
    struct HandPlace {
        std::string name;
        double lat = 0, lon = 0;
    };
    std::vector<HandPlace> places;
    bool photoZones = false;  // photographs that name their zone are brought to UTC by it
    // --camera-offset CAMERA=DAYS: the offset of the cameras CAMERA names
    // (app/cameraclocks.h, cameraNamed), in place of the photo offset.
    struct CameraOffset {
        std::string camera;
        double days = 0;
    };
    std::vector<CameraOffset> cameraOffsets;
    // --local-time: every photograph's clock keeps local time; with
    // =CAMERA, the clocks of the cameras named.
    bool allLocalTime = false;
    std::vector<std::string> localTimeCameras;
    bool writeZones = false;  // with writeTags: the zones found go into OffsetTimeOriginal
    // With writeTags: positions go into XMP files beside the photographs,
    // named IMG_0001.xmp, or IMG_0001.CR3.xmp with the full name.
    bool sidecars = false;
    bool sidecarFullName = false;
    // Each photograph's town, region and country, in English, looked up
    // offline within placeMaxKm; written with the tags too.
    bool placeNames = false;
    double placeMaxKm = 25;
    // --privacy LAT,LON,RADIUS_M: photographs there are not placed (repeatable).
    std::vector<PrivacyZone> privacyZones;
    // With writeTags: the direction and speed of travel as well.
    bool direction = false;
    bool sidecarRawOnly = false;  // "--sidecar=raw": raw files into XMP files, the others themselves
    // With writeTags: a photograph that carries a position of its own is
    // left as it is; an unplaced photograph has its GPS record taken out.
    bool keepExisting = false;
    bool clearUnplaced = false;
    bool help = false;
    std::vector<std::string> inputs;
    // --track-photos DIR: folders whose photographs' GPS tags make a track,
    // loaded before the inputs.
    std::vector<std::string> trackPhotos;

    // Returns an error text for a command line that cannot be used.
    static std::optional<std::string> parse(const std::vector<std::string>& args, CliOptions& out);
    static std::string usage();

    // Why the CSV file may not be written: it is one of the inputs, or a
    // photograph the scan of an input folder reads (in any folder it
    // enters) or an XMP file beside one, however either is spelled: by
    // device and inode, or, for an XMP file a write may still make, by its
    // name. Nothing when it may.
    std::optional<std::string> csvOverwritesInput() const;
};

}  // namespace geovanta

#pragma once
// What a photograph's own file tells beyond its shooting time: the camera
// that took it and the position a GPS receiver wrote into it. The table keeps
// them beside the photograph's row (DataTable::photoFacts); track points and
// waypoints have none and pay nothing for them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace geovanta {

// Longer makes, models and serials are no camera's: readers cut what a
// damaged file claims to this.
inline constexpr std::size_t kMaxCameraText = 64;

// One camera body: the key that per-camera settings are kept by.
struct CameraKey {
    std::string make, model, serial;  // the file's bytes, trailing blanks removed

    bool empty() const { return make.empty() && model.empty() && serial.empty(); }
    // A serial of digits alone is compared as a number: programs write one
    // body's number with leading zeros and without (a raw file and the DNG
    // converted from it).
    friend bool operator==(const CameraKey& a, const CameraKey& b);
};

struct CameraKeyHash {
    std::size_t operator()(const CameraKey& key) const;
};

// A serial as CameraKey compares it: digits alone without their leading zeros.
std::string_view comparedSerial(std::string_view serial);

// How a person names the camera: its model ("Canon EOS R5"; the make when
// the file names no model), and with `serialEnd` above 0 that many last
// characters of its serial number ("Canon EOS R5 …1234") to tell it from
// another body of the same model.
std::string cameraText(const CameraKey& key, std::size_t serialEnd = 0);

// For distinct cameras, how many last characters of its serial each one
// shows: none where no other camera of its make and model has a serial, else
// the fewest (at least 4) that tell all of that model's bodies apart.
std::vector<std::size_t> serialEnds(const std::vector<const CameraKey*>& cameras);

// The position in a photograph's GPS tags, when they make sense.
struct PhotoGps {
    double lat = 0, lon = 0;                // degrees, north and east positive
    std::optional<double> altitudeMetres;   // above sea level; below it negative
    // GPSDateStamp with GPSTimeStamp: milliseconds since 1899-12-30 UTC.
    std::optional<int64_t> utcMs;

    bool operator==(const PhotoGps&) const = default;
};

// The zone the binding pass read a photograph's time by when its camera
// keeps local time: for the explanations, and for a writer that records
// the offset beside the shooting time.
struct LocalZone {
    enum class Status : uint8_t {
        Found,             // the zone puts the photograph on the track inside itself
        NotOnTrack,        // no zone's reading lands on the track; read by the nearest point's zone
        NoConsistentZone,  // readings land on the track, each in another zone than its own
        NoZoneData,        // no zones to read by: neither the zones' borders nor the towns could be read
        PhotoZone,         // the photograph recorded its zone, which was read instead; no IANA id
    };
    Status status = Status::NoZoneData;
    std::string zone;           // IANA id ("Europe/Berlin"); empty with NoZoneData
    int32_t offsetSeconds = 0;  // east of UTC, as the time was read

    bool operator==(const LocalZone&) const = default;
};

// Facts read from a photograph's file when it was scanned, and the zone the
// pass last read its time by.
struct PhotoFacts {
    CameraKey camera;
    std::optional<PhotoGps> gps;
    std::optional<LocalZone> localZone{};

    bool operator==(const PhotoFacts&) const = default;
};

}  // namespace geovanta

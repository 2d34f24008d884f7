#pragma once
// What a photograph's own file tells beyond its shooting time: the camera
// that took it and the position a GPS receiver wrote into it. The table keeps
// them beside the photograph's row (DataTable::photoFacts); track points and
// waypoints have none and pay nothing for them.

#include <array>
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

// The parts of where a photograph was taken, as location tags name them.
enum class PlacePart : uint8_t { City, State, Country, CountryCode };
inline constexpr std::size_t kPlaceParts = 4;

// Where a place name came from. A lookup fills in what nobody else named;
// the names the photograph carried are kept until the person asks for the
// lookup's, and the person's own are never replaced. A part the person
// emptied is theirs too: an empty text with the source Person.
enum class NameSource : uint8_t { None, Lookup, Photo, Person };

// Longer texts are no place's names: what a file claims, or a person types,
// is cut to this many characters.
inline constexpr std::size_t kMaxPlaceName = 100;

struct PlaceNames {
    std::array<std::string, kPlaceParts> text{};
    std::array<NameSource, kPlaceParts> source{};

    const std::string& operator[](PlacePart part) const { return text[static_cast<std::size_t>(part)]; }
    NameSource sourceOf(PlacePart part) const { return source[static_cast<std::size_t>(part)]; }
    // `name` cut to kMaxPlaceName characters; an empty name from anyone but
    // the person leaves the part unnamed.
    void set(PlacePart part, std::string_view name, NameSource from);
    bool empty() const;
    bool operator==(const PlaceNames&) const = default;
};

struct PlaceNamesHash {
    std::size_t operator()(const PlaceNames& names) const;
};

// What a lookup found at the photograph's position (nothing: no position,
// at sea or outside every border) applied to its `names`: the person's parts
// stay; when any part is the photograph's own, the lookup is not taken at
// all, so that one place's town never sits beside another's country, unless
// `replacePhotos`; every other part takes the lookup's name or none.
PlaceNames withLookup(const PlaceNames& names, const std::optional<std::array<std::string, kPlaceParts>>& found,
                      bool replacePhotos);

// `names` with one part as the person typed it. A country typed anew
// empties a code the person did not type, as it named the country that was
// there before, and keeps it empty through later lookups.
PlaceNames withPersonName(const PlaceNames& names, PlacePart part, std::string_view name);

// Whether the photograph holds IPTC records, and whether they declare
// their text UTF-8 (record 1:90). A write adds IPTC's location records only
// where there are records already; into records not declared UTF-8 only
// names Latin-1 can hold, as those records are read so.
enum class IptcKind : uint8_t { None, Legacy, Utf8 };

// Facts read from a photograph's file when it was scanned, the names of
// where it was taken, and the zone the pass last read its time by.
struct PhotoFacts {
    CameraKey camera;
    std::optional<PhotoGps> gps;
    PlaceNames place{};
    IptcKind iptc = IptcKind::None;
    std::optional<LocalZone> localZone{};

    bool operator==(const PhotoFacts&) const = default;
};

}  // namespace geovanta

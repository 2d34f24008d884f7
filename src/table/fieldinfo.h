#pragma once
// The record table's fields: their names, kinds and widths, and the messages
// for a value a field cannot take.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "table/photofacts.h"

namespace geovanta {

enum class FieldId : uint8_t {
    Stat,       // text 1: row kind "T", "P" or "F"
    Name,       // text 64
    Time,       // date-time: the row's own time
    Lat,        // double, degrees
    Lon,        // double, degrees
    Elev,       // double, feet
    Dist,       // double, metres
    Speed,      // double, km/h
    PathIndex,  // int16, never used
    VTime,      // date-time: shifted time, the sort key
    Type,       // calculated text: "Трек", "Точка", "Фото"
    VLat,       // calculated text: FormatCoord("SN", Lat)
    VLon,       // calculated text: FormatCoord("WE", Lon)
    VElev,      // calculated int32: Elev * 0.3048 truncated
    FileName,   // text of any length: the photograph's full path
    TimeSource, // text 1: where a photograph's Time came from (kTimeFrom...);
                // kept for the explanations, neither shown nor exported
    FileStamp,  // the photograph's file as it was scanned (a FileStamp), read
                // back before it is written; neither shown nor exported
    Camera,     // calculated text: the camera's model, with the end of its
                // serial where two bodies of that model are loaded
    // Where a photograph was taken, kept with its other facts (PlaceNames):
    // the town, its region, the country and the country's ISO 3166-1 code.
    // A name set here is the person's.
    City,
    State,
    Country,
    CountryCode,
};
inline constexpr int kFieldCount = 22;

// Values of TimeSource.
inline constexpr char kTimeFromExif = 'E';      // the EXIF shooting time
inline constexpr char kTimeFromFileDate = 'M';  // the file's modification time
// The file's modification time, because the EXIF date-time was no date
// (DataTable::invalidExifDate keeps its text).
inline constexpr char kTimeFromFileDateExifInvalid = 'X';

enum class FieldKind : uint8_t { Text, DateTime, Real, Integer };

struct FieldInfo {
    FieldId id;
    const char* name;
    FieldKind kind;
    int width;  // characters for text fields (0: any length), 0 otherwise
    bool calculated;
};

// Coordinate texts are 15 wide: the widest degrees (5 digits) still keep their
// hemisphere letter. Defined here so that the lookup inlines: every cell the
// grid paints and the CSV writes asks for its field.
inline constexpr FieldInfo kFieldInfos[kFieldCount] = {
    {FieldId::Stat, "Stat", FieldKind::Text, 1, false},
    {FieldId::Name, "Name", FieldKind::Text, 64, false},
    {FieldId::Time, "Time", FieldKind::DateTime, 0, false},
    {FieldId::Lat, "Lat", FieldKind::Real, 0, false},
    {FieldId::Lon, "Lon", FieldKind::Real, 0, false},
    {FieldId::Elev, "Elev", FieldKind::Real, 0, false},
    {FieldId::Dist, "Dist", FieldKind::Real, 0, false},
    {FieldId::Speed, "Speed", FieldKind::Real, 0, false},
    {FieldId::PathIndex, "PathIndex", FieldKind::Integer, 0, false},
    {FieldId::VTime, "VTime", FieldKind::DateTime, 0, false},
    {FieldId::Type, "Type", FieldKind::Text, 5, true},
    {FieldId::VLat, "VLat", FieldKind::Text, 15, true},
    {FieldId::VLon, "VLon", FieldKind::Text, 15, true},
    {FieldId::VElev, "VElev", FieldKind::Integer, 0, true},
    {FieldId::FileName, "FileName", FieldKind::Text, 0, false},
    {FieldId::TimeSource, "TimeSource", FieldKind::Text, 1, false},
    {FieldId::FileStamp, "FileStamp", FieldKind::Text, 0, false},
    {FieldId::Camera, "Camera", FieldKind::Text, 0, true},
    {FieldId::City, "City", FieldKind::Text, 0, false},
    {FieldId::State, "State", FieldKind::Text, 0, false},
    {FieldId::Country, "Country", FieldKind::Text, 0, false},
    {FieldId::CountryCode, "CountryCode", FieldKind::Text, 0, false},
};

// The place name a field holds; nothing for other fields.
inline std::optional<PlacePart> placePartOf(FieldId id) {
    if (id < FieldId::City || id > FieldId::CountryCode) return std::nullopt;
    return static_cast<PlacePart>(static_cast<int>(id) - static_cast<int>(FieldId::City));
}

inline const FieldInfo& fieldInfo(FieldId id) { return kFieldInfos[static_cast<int>(id)]; }
std::optional<FieldId> findField(std::string_view name);

// Raised by the cursor API for a value a field cannot take; the text is the
// program's message, e.g. "'abc' is not a valid floating point value for field 'Lat'".
class FieldError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string invalidFloatMessage(std::string_view text);
std::string invalidFloatFieldMessage(std::string_view text, std::string_view field);

}  // namespace geovanta

#include "table/fieldinfo.h"

#include "table/asciicase.h"

namespace geovanta {
namespace {

// Coordinate texts are 15 wide: the widest degrees (5 digits) still keep their
// hemisphere letter.
constexpr FieldInfo kFields[kFieldCount] = {
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
    {FieldId::FileName, "FileName", FieldKind::Text, 255, false},
    {FieldId::TimeSource, "TimeSource", FieldKind::Text, 1, false},
};

}  // namespace

const FieldInfo& fieldInfo(FieldId id) { return kFields[static_cast<int>(id)]; }

std::optional<FieldId> findField(std::string_view name) {
    for (const FieldInfo& f : kFields) {
        const std::string_view n(f.name);
        if (equalsIgnoringAsciiCase(n, name)) return f.id;
    }
    return std::nullopt;
}

std::string invalidFloatMessage(std::string_view text) {
    return "'" + std::string(text) + "' is not a valid floating point value";
}

std::string invalidFloatFieldMessage(std::string_view text, std::string_view field) {
    return invalidFloatMessage(text) + " for field '" + std::string(field) + "'";
}

}  // namespace geovanta

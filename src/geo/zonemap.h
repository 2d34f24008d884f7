#pragma once
// Which time zone a place on earth keeps, without asking anyone: the zones'
// borders come from a file made once from the public time-zone boundary data
// (data/timezones/ says how and under which licence) and shipped with the
// program. A point is at most a few hundred metres from where that data puts
// a border between two zones; the open sea, beyond the territorial waters
// the data gives every country, keeps the nautical zone of its longitude.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace geovanta {

// The data file's name in the program's data folder.
inline constexpr std::string_view kZoneMapFileName = "zones.bin";

// A zone as one map numbers it; 0 is none.
using ZoneIndex = uint16_t;

enum class ZoneMapProblem : uint8_t {
    None,
    Unreadable,  // missing, not a file, or cannot be opened or read
    Damaged,     // not this format, or cut short, or inconsistent
};

class ZoneMap {
public:
    ZoneMap() = default;  // knows no zone

    static ZoneMap read(const std::string& path, ZoneMapProblem* problem = nullptr);
    // The file's bytes; a damaged file gives an empty map, never a crash.
    static ZoneMap parse(std::string_view bytes, ZoneMapProblem* problem = nullptr);

    bool empty() const { return nodes_.empty(); }

    // The zone at a point, in degrees; 0 for a point off the globe, a
    // non-finite one, or any point of an empty map.
    ZoneIndex indexAt(double lat, double lon) const;
    // The IANA id ("Europe/Berlin", "Etc/GMT-1" for a nautical zone);
    // empty for 0 or an index the map does not have.
    std::string_view name(ZoneIndex zone) const;
    // Whether the zone is one of the open sea's.
    bool atSea(ZoneIndex zone) const { return zone > landZones_ && zone < names_.size(); }

    std::optional<std::string_view> zoneAt(double lat, double lon) const;

private:
    ZoneIndex nauticalZone(double lon) const;

    // Zone names by index: 0 empty, then the land's, then the sea's from
    // Etc/GMT+12 (west) to Etc/GMT-12 (east).
    std::vector<std::string> names_;
    ZoneIndex landZones_ = 0;  // the last land index
    // The quadtree, four entries per inner node, the root first; children
    // south-west, south-east, north-west, north-east. An entry with kLeaf set
    // holds a zone (0 the sea), any other the index of an inner node.
    std::vector<uint32_t> nodes_;
    int depth_ = 0;  // of the smallest cells: the world is 2^depth of them across

    friend class ZoneMapReader;
};

}  // namespace geovanta

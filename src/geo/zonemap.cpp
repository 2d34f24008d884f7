#include "geo/zonemap.h"

#include <array>
#include <cmath>
#include <fstream>

// The file, little-endian, as data/timezones/make-zones.mjs writes it:
//   "GVTZONES", u16 version (1), u8 depth, u8 coast depth (for the record),
//   u32 zone count (the sea, 0, included), u32 bytes of names,
//   u32 inner nodes, u32 bytes of the node stream;
//   the land zones' names, each ended by a NUL, in index order from 1;
//   the inner nodes in pre-order, each a byte of four two-bit codes (child 0
//   in the low bits): 0 an inner node, 1 a leaf of the zone last named, 2 of
//   the one named before it, 3 of the zone in the u16 that follows the code
//   byte; then its inner children, each whole. "Named" runs through a node's
//   leaves before its inner children, from the sea and the sea.

namespace geovanta {

class ZoneMapReader {
public:
    explicit ZoneMapReader(std::string_view bytes) : bytes_(bytes) {}
    bool read(ZoneMap& map);

private:
    bool take(std::size_t n, std::string_view& out);
    std::optional<uint32_t> u32();
    bool readNames(ZoneMap& map, uint32_t zones, uint32_t nameBytes);
    std::optional<uint32_t> readNode(ZoneMap& map, int depth);

    std::string_view bytes_;
    std::size_t at_ = 0;
    std::size_t streamEnd_ = 0;
    uint32_t zones_ = 0;
    uint32_t nodesLeft_ = 0;
    std::array<uint16_t, 2> recent_{};
};

namespace {

constexpr std::string_view kMagic = "GVTZONES";
constexpr std::size_t kHeaderBytes = 28;
constexpr std::size_t kMaxFileBytes = 64u << 20;
constexpr int kMaxDepth = 24;
constexpr uint32_t kLeaf = 0x80000000u;
constexpr int kNauticalZones = 25;  // whole hours from 12 west to 12 east
constexpr std::size_t kMaxNameBytes = 64;

uint32_t le(std::string_view b, std::size_t at, int n) {
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

bool zoneNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' || c == '_' ||
           c == '+' || c == '-';
}

std::string nauticalName(int hoursEast) {
    // POSIX signs: Etc/GMT-1 is one hour east of Greenwich.
    if (hoursEast == 0) return "Etc/GMT";
    return std::string("Etc/GMT") + (hoursEast > 0 ? "-" : "+") + std::to_string(hoursEast > 0 ? hoursEast : -hoursEast);
}

}  // namespace

bool ZoneMapReader::take(std::size_t n, std::string_view& out) {
    if (n > bytes_.size() - at_) return false;
    out = bytes_.substr(at_, n);
    at_ += n;
    return true;
}

std::optional<uint32_t> ZoneMapReader::u32() {
    std::string_view b;
    if (!take(4, b)) return std::nullopt;
    return le(b, 0, 4);
}

bool ZoneMapReader::readNames(ZoneMap& map, uint32_t zones, uint32_t nameBytes) {
    std::string_view block;
    if (!take(nameBytes, block) || block.empty() || block.back() != '\0') return false;
    map.names_.reserve(zones + kNauticalZones);
    map.names_.emplace_back();
    std::size_t start = 0;
    while (start < block.size()) {
        const std::size_t end = block.find('\0', start);  // found: the block ends with one
        const std::string_view name = block.substr(start, end - start);
        if (name.empty() || name.size() > kMaxNameBytes || map.names_.size() >= zones) return false;
        for (char c : name)
            if (!zoneNameChar(c)) return false;
        map.names_.emplace_back(name);
        start = end + 1;
    }
    return map.names_.size() == zones;
}

std::optional<uint32_t> ZoneMapReader::readNode(ZoneMap& map, int depth) {
    // Every node takes a byte of the stream and one of the count the header
    // gave, so neither a long nor a looping stream can grow the map unbounded.
    if (nodesLeft_ == 0 || at_ >= streamEnd_ || depth >= map.depth_) return std::nullopt;
    --nodesLeft_;
    const auto index = static_cast<uint32_t>(map.nodes_.size() / 4);
    map.nodes_.resize(map.nodes_.size() + 4);
    const auto codes = static_cast<unsigned char>(bytes_[at_++]);
    for (int q = 0; q < 4; ++q) {
        const int code = (codes >> (2 * q)) & 3;
        if (code == 0) continue;
        uint16_t zone = code == 1 ? recent_[0] : recent_[1];
        if (code == 3) {
            if (streamEnd_ - at_ < 2) return std::nullopt;
            zone = static_cast<uint16_t>(le(bytes_, at_, 2));
            at_ += 2;
            if (zone >= zones_) return std::nullopt;
        }
        if (code != 1) recent_ = {zone, recent_[0]};
        map.nodes_[index * 4 + q] = kLeaf | zone;
    }
    for (int q = 0; q < 4; ++q) {
        if (((codes >> (2 * q)) & 3) != 0) continue;
        const auto child = readNode(map, depth + 1);
        if (!child) return std::nullopt;
        map.nodes_[index * 4 + q] = *child;
    }
    return index;
}

bool ZoneMapReader::read(ZoneMap& map) {
    std::string_view header;
    if (!take(kHeaderBytes, header) || header.substr(0, kMagic.size()) != kMagic || le(header, 8, 2) != 1)
        return false;
    map.depth_ = static_cast<unsigned char>(header[10]);
    zones_ = le(header, 12, 4);
    const uint32_t nameBytes = le(header, 16, 4);
    nodesLeft_ = le(header, 20, 4);
    const uint32_t streamBytes = le(header, 24, 4);
    if (map.depth_ < 1 || map.depth_ > kMaxDepth || zones_ < 2 || zones_ > 0xffff - kNauticalZones ||
        nodesLeft_ == 0 || nodesLeft_ > streamBytes)
        return false;
    if (!readNames(map, zones_, nameBytes)) return false;
    if (streamBytes != bytes_.size() - at_) return false;
    streamEnd_ = bytes_.size();
    map.nodes_.reserve(std::size_t{nodesLeft_} * 4);
    if (!readNode(map, 0) || at_ != streamEnd_ || nodesLeft_ != 0) return false;
    map.landZones_ = static_cast<ZoneIndex>(zones_ - 1);
    for (int h = -12; h <= 12; ++h) map.names_.push_back(nauticalName(h));
    return true;
}

ZoneMap ZoneMap::parse(std::string_view bytes, ZoneMapProblem* problem) {
    ZoneMap map;
    const bool ok = ZoneMapReader(bytes).read(map);
    if (problem) *problem = ok ? ZoneMapProblem::None : ZoneMapProblem::Damaged;
    return ok ? map : ZoneMap();
}

ZoneMap ZoneMap::read(const std::string& path, ZoneMapProblem* problem) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes;
    if (in) {
        in.seekg(0, std::ios::end);
        const std::streamoff size = in.tellg();
        if (size < 0) in.setstate(std::ios::failbit);
        // Far beyond any real map: a wrong file, never read whole.
        if (in && static_cast<uint64_t>(size) > kMaxFileBytes) return parse({}, problem);
        if (in) {
            bytes.resize(static_cast<std::size_t>(size));
            in.seekg(0);
            in.read(bytes.data(), size);
        }
    }
    if (!in) {
        if (problem) *problem = ZoneMapProblem::Unreadable;
        return {};
    }
    return parse(bytes, problem);
}

ZoneIndex ZoneMap::indexAt(double lat, double lon) const {
    if (empty() || !(lat >= -90 && lat <= 90 && lon >= -180 && lon <= 180)) return 0;
    const int64_t cells = int64_t{1} << depth_;
    const auto cell = [cells](double fraction) {
        const auto i = static_cast<int64_t>(fraction * static_cast<double>(cells));
        return i < cells ? i : cells - 1;  // the north pole and the east edge
    };
    const int64_t x = cell((lon + 180) / 360), y = cell((lat + 90) / 180);
    uint32_t node = 0;
    for (int level = depth_ - 1; level >= 0; --level) {
        const uint32_t e = nodes_[std::size_t{node} * 4 + (((y >> level) & 1) << 1 | ((x >> level) & 1))];
        if (e & kLeaf) {
            const auto zone = static_cast<ZoneIndex>(e & 0xffff);
            return zone == 0 ? nauticalZone(lon) : zone;
        }
        node = e;
    }
    return 0;  // unreachable: the reader keeps every node above the smallest cells
}

ZoneIndex ZoneMap::nauticalZone(double lon) const {
    // 15 degrees a zone, centred on whole hours; 180 itself joins the east.
    const auto hour = static_cast<int>(std::floor((lon + 7.5) / 15));
    return static_cast<ZoneIndex>(landZones_ + 1 + (hour < -12 ? 0 : hour > 12 ? 24 : hour + 12));
}

std::string_view ZoneMap::name(ZoneIndex zone) const {
    return zone < names_.size() ? std::string_view(names_[zone]) : std::string_view();
}

std::optional<std::string_view> ZoneMap::zoneAt(double lat, double lon) const {
    const ZoneIndex zone = indexAt(lat, lon);
    if (zone == 0) return std::nullopt;
    return name(zone);
}

}  // namespace geovanta

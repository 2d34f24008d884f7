#include "input/locationtags.h"

#include <pugixml.hpp>

#include <array>
#include <map>
#include <string>

#include "input/exifread.h"
#include "table/textcodec.h"

namespace geovanta {
namespace {

// Blanks around a name go; line breaks and other controls inside one become
// blanks, as a place's name is one line.
std::string cleanName(std::string_view bytes) {
    std::string text = displayUtf8(cutToWidth(bytes, kMaxPlaceName));
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void setPhotoName(PlaceNames& names, PlacePart part, std::string_view bytes) {
    if (names.sourceOf(part) == NameSource::None) names.set(part, cleanName(bytes), NameSource::Photo);
}

constexpr std::string_view kPhotoshopNs = "http://ns.adobe.com/photoshop/1.0/";
constexpr std::string_view kIptcCoreNs = "http://iptc.org/std/Iptc4xmpCore/1.0/xmlns/";

struct XmpName {
    std::string_view ns, local;
    PlacePart part;
};
constexpr XmpName kXmpNames[] = {
    {kPhotoshopNs, "City", PlacePart::City},
    {kPhotoshopNs, "State", PlacePart::State},
    {kPhotoshopNs, "Country", PlacePart::Country},
    {kIptcCoreNs, "CountryCode", PlacePart::CountryCode},
};

// A property, written as an attribute or as an element, by its prefix and name.
struct Property {
    std::string_view prefix, local, value;
};

void noteProperty(std::string_view qualified, std::string_view value, std::vector<Property>& out) {
    const std::size_t colon = qualified.find(':');
    if (colon == std::string_view::npos) return;
    out.push_back({qualified.substr(0, colon), qualified.substr(colon + 1), value});
}

}  // namespace

PlaceNames placeNamesFromXmp(std::string_view packet) {
    pugi::xml_document doc;
    if (!doc.load_buffer(packet.data(), packet.size(), pugi::parse_default, pugi::encoding_utf8)) return {};
    // Namespaces are told by their URIs: the prefixes are the writer's choice.
    std::map<std::string_view, std::string_view> uriOf;
    std::vector<Property> properties;
    struct Walker : pugi::xml_tree_walker {
        std::map<std::string_view, std::string_view>& uris;
        std::vector<Property>& found;
        Walker(std::map<std::string_view, std::string_view>& u, std::vector<Property>& f) : uris(u), found(f) {}
        bool for_each(pugi::xml_node& node) override {
            if (node.type() != pugi::node_element) return true;
            for (const pugi::xml_attribute& a : node.attributes()) {
                const std::string_view name = a.name();
                if (name.starts_with("xmlns:"))
                    uris[name.substr(6)] = a.value();
                else
                    noteProperty(name, a.value(), found);
            }
            if (node.first_child().type() == pugi::node_pcdata || node.first_child().type() == pugi::node_cdata)
                noteProperty(node.name(), node.child_value(), found);
            return true;
        }
    } walker(uriOf, properties);
    doc.traverse(walker);
    PlaceNames names;
    for (const Property& p : properties) {
        const auto uri = uriOf.find(p.prefix);
        if (uri == uriOf.end()) continue;
        for (const XmpName& n : kXmpNames)
            if (uri->second == n.ns && p.local == n.local) setPhotoName(names, n.part, p.value);
    }
    return names;
}

PlaceNames placeNamesFromIptc(std::string_view iptc) {
    const auto* p = reinterpret_cast<const unsigned char*>(iptc.data());
    const std::size_t size = iptc.size();
    std::array<std::string_view, kPlaceParts> found{};
    // Each dataset: 0x1C, record, dataset, a 2-byte length, the data. An
    // extended length (its top bit set) belongs to big data, never a name.
    for (std::size_t at = 0; at + 5 <= size && p[at] == 0x1C;) {
        const unsigned record = p[at + 1], dataset = p[at + 2];
        const uint16_t length = be16(p + at + 3);
        if (length & 0x8000 || length > size - at - 5) break;
        const std::string_view data = iptc.substr(at + 5, length);
        if (record == 2) {
            switch (dataset) {
                case 90: found[static_cast<std::size_t>(PlacePart::City)] = data; break;
                case 95: found[static_cast<std::size_t>(PlacePart::State)] = data; break;
                case 100: found[static_cast<std::size_t>(PlacePart::CountryCode)] = data; break;
                case 101: found[static_cast<std::size_t>(PlacePart::Country)] = data; break;
                default: break;
            }
        }
        at += 5u + length;
    }
    // Without a declared character set, text that is not UTF-8 is taken as
    // the Windows code page the program's other old texts use (cleanName).
    PlaceNames names;
    for (std::size_t k = 0; k < kPlaceParts; ++k) setPhotoName(names, static_cast<PlacePart>(k), found[k]);
    return names;
}

std::optional<std::string_view> iptcOfPhotoshop(std::string_view resources) {
    const auto* p = reinterpret_cast<const unsigned char*>(resources.data());
    const std::size_t size = resources.size();
    // Each resource: "8BIM", its id, a name as a Pascal string padded to an
    // even length, a 4-byte size, the data padded to an even length.
    for (std::size_t at = 0; at + 7 <= size && resources.substr(at, 4) == "8BIM";) {
        const uint16_t id = be16(p + at + 4);
        const std::size_t nameBytes = (1u + p[at + 6] + 1u) & ~std::size_t{1};
        at += 6;
        if (nameBytes + 4 > size - at) break;
        at += nameBytes;
        const uint32_t length = be32(p + at);
        at += 4;
        if (length > size - at) break;
        if (id == 0x0404) return resources.substr(at, length);
        at += length + (length & 1u);
    }
    return std::nullopt;
}

PlaceNames placeNamesFromPhotoshop(std::string_view resources) {
    const auto iptc = iptcOfPhotoshop(resources);
    return iptc ? placeNamesFromIptc(*iptc) : PlaceNames{};
}

IptcKind iptcKind(std::string_view iptc) {
    const auto* p = reinterpret_cast<const unsigned char*>(iptc.data());
    const std::size_t size = iptc.size();
    if (size < 5 || p[0] != 0x1C) return IptcKind::None;
    for (std::size_t at = 0; at + 5 <= size && p[at] == 0x1C;) {
        const uint16_t length = be16(p + at + 3);
        if (length & 0x8000 || length > size - at - 5) break;
        // ESC % G: ISO 2022's way to say UTF-8.
        if (p[at + 1] == 1 && p[at + 2] == 90 && iptc.substr(at + 5, length) == "\x1B%G") return IptcKind::Utf8;
        at += 5u + length;
    }
    return IptcKind::Legacy;
}

PlaceNames photoPlaceNames(const PlaceNames& xmp, const PlaceNames& iptc) { return xmp.empty() ? iptc : xmp; }

}  // namespace geovanta

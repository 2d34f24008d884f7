#pragma once
// The names of where a photograph was taken that a program already wrote
// into it: XMP's photoshop:City, photoshop:State, photoshop:Country and
// Iptc4xmpCore:CountryCode, and the IPTC records City (2:90),
// Province-State (2:95), Country code (2:100) and Country (2:101) that
// Photoshop keeps in its image resources. Read leniently: what cannot be
// read is missing, never an error.

#include <optional>
#include <string_view>

#include "table/photofacts.h"

namespace geovanta {

// The names in an XMP packet (UTF-8 text), each marked as the photograph's.
PlaceNames placeNamesFromXmp(std::string_view packet);

// The names in Photoshop's image resources (the data of a JPEG's
// "Photoshop 3.0" APP13 segment after that identifier, or of TIFF's tag
// 34377): its IPTC block, resource 0x0404.
PlaceNames placeNamesFromPhotoshop(std::string_view resources);
// The names in an IPTC block itself (TIFF's tag 33723).
PlaceNames placeNamesFromIptc(std::string_view iptc);
// The IPTC block among Photoshop's image resources, if any.
std::optional<std::string_view> iptcOfPhotoshop(std::string_view resources);
// Whether an IPTC block holds records, and whether it declares UTF-8.
IptcKind iptcKind(std::string_view iptc);

// XMP's names where it has any, else the IPTC records': XMP is what
// programs keep up to date, the records what older ones wrote.
PlaceNames photoPlaceNames(const PlaceNames& xmp, const PlaceNames& iptc);

}  // namespace geovanta

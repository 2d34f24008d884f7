#pragma once
// Reader of KML files (.KML) and of KMZ archives (.KMZ) holding one.
//  - A gx:Track is a track of its own: its times (<when>) are paired in
//    order with its positions (<gx:coord> "lon lat [alt]"), whether the file
//    lists all times first or lets them take turns. The gx:Tracks of a
//    gx:MultiTrack are segments of one track, numbered across, as a GPX
//    track's are. A time without a position (an empty gx:coord) is counted
//    without a position.
//  - A Placemark with a Point and a TimeStamp is a waypoint ("P") under the
//    Placemark's name; one with a TimeStamp and no geometry is counted without
//    a position, a Point without a time without a time.
//  - A LineString has no times: its points are counted without a time. A
//    TimeSpan is not spread over them, since where along the line the
//    recorder was at any moment is not known.
// Elements are known by their local names, whatever prefix their namespace
// has in the file. Altitudes are taken as metres above the sea.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "input/gpsread.h"

namespace geovanta {

// GpsReaderFns. readKml takes a KMZ archive too, told by its first bytes,
// as files of either kind are met under the other's name.
LoadResult readKml(std::string_view bytes, GpsRead& read);
// A zip archive: the first entry whose name ends in ".kml" is read (an
// archive's own KML file comes first; later ones are its resources). An
// entry that unpacks to more than kMaxWholeFileBytes is refused, however
// little the archive says it holds.
LoadResult readKmz(std::string_view bytes, GpsRead& read);

// readKml with the file parsed in pieces of about `pieceBytes`, and readKmz
// with an entry's limit of `maxEntryBytes`: tests make them small.
LoadResult readKmlInPieces(std::string_view bytes, GpsRead& read, std::size_t pieceBytes);
LoadResult readKmzWithLimit(std::string_view bytes, GpsRead& read, uint64_t maxEntryBytes);

// The first bytes of a KML file: its first element is kml.
bool looksLikeKml(std::string_view head);

}  // namespace geovanta

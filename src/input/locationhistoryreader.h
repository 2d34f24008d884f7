#pragma once
// Reader of the location histories phones keep (.json), told apart from other
// JSON by its content:
//  - the old archive's list of fixes: "locations" with latitudeE7,
//    longitudeE7, timestamp (ISO 8601) or timestampMs, accuracy, altitude;
//  - the phone's export: semanticSegments[].timelinePath[] (point
//    "lat°, lon°" at time) and rawSignals[].position (LatLng, timestamp,
//    accuracyMeters, altitudeMeters);
//  - the other phone's export, an array of segments whose timelinePath
//    points ("geo:lat,lon") lie durationMinutesOffsetFromStartTime after the
//    segment's startTime;
//  - the older semantic history: timelineObjects[] whose activitySegment and
//    placeVisit keep a simplifiedRawPath of timed points (latE7, lngE7).
// Numbers may be written as strings. Visits and activities without a path of
// their own tell where someone was, not where a fix was taken, and are passed
// over; a path's untimed waypoints are counted as points without a time. A
// point whose reported accuracy is worse than read.options.maxAccuracyM is
// left out and counted. All the points of a file are one track.
//
// The file is parsed as a stream in pieces: bytes in memory are handed back
// through read.spent once passed, and a file read from the disk is never in
// memory whole.

#include <cstddef>
#include <string_view>

#include "input/gpsread.h"

namespace geovanta {

LoadResult readLocationHistory(std::string_view bytes, GpsRead& read);
// The same, parsed in pieces of `pieceBytes`: tests make them small so that
// small files are cut too.
LoadResult readLocationHistory(std::string_view bytes, GpsRead& read, std::size_t pieceBytes);

// The same for the file named by read.path, read from the disk a piece at a
// time instead of whole: memory holds no more of it than one piece.
LoadResult readLocationHistoryFile(GpsRead& read);
LoadResult readLocationHistoryFile(GpsRead& read, std::size_t pieceBytes);

// Whether the first few kilobytes of a file are those of a location history.
bool looksLikeLocationHistory(std::string_view head);

}  // namespace geovanta

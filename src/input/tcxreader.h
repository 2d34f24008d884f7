#pragma once
// Reader of Training Center files (.TCX): every Trackpoint with a time and a
// position becomes a row of kind "T". Each Activity, and each Course, is a
// track of its own, its points numbered across its laps, as a GPX track's
// are across its segments: laps split one recording, they do not start
// another. A Course's CoursePoints with a time and a position become
// waypoints ("P") under their names.

#include <cstddef>
#include <string_view>

#include "input/gpsread.h"

namespace geovanta {

// A GpsReaderFn.
LoadResult readTcx(std::string_view bytes, GpsRead& read);
// The same, the file parsed in pieces of about `pieceBytes`; tests make them
// small so that small files are cut too.
LoadResult readTcxInPieces(std::string_view bytes, GpsRead& read, std::size_t pieceBytes);

// The first bytes of a TCX file: its first element is TrainingCenterDatabase.
bool looksLikeTcx(std::string_view head);

}  // namespace geovanta

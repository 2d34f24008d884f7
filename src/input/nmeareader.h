#pragma once
// Reader of NMEA 0183 logs (.nmea, .nma, and .log or .txt files of
// sentences): one track of "T" rows, one row per fix.
//
// A fix is the RMC sentence of one time, with the altitude of the GGA
// sentence of the same time; a GGA whose time has no RMC gives a fix of its
// own, dated by the nearest RMC (or ZDA) before or just after it, and is left
// out when the file has none. Sentences pair by their time, not by their
// order, as loggers write them out of order; the rows come in the order the
// fixes were completed, and the load sorts them.
//
// Left out and counted: fixes the receiver marked void (RMC status V, GGA
// quality 0), RMC and GGA sentences whose checksum is wrong or which were cut
// before it, fixes without a time, a date or a position, and fixes whose date
// no fix can have: later than tomorrow, or more than ten years before the
// file's latest fix (a receiver that missed a GPS week rollover dates its
// fixes 1024 weeks back). A sentence without a checksum is taken when it has
// all its fields. Broken lines are passed over: only a file without any
// NMEA sentence is rejected.

#include <string_view>

#include "input/gpsread.h"
#include "input/loadresult.h"

namespace geovanta {

LoadResult readNmea(std::string_view bytes, GpsRead& read);

// Whether the first few kilobytes of a file hold RMC or GGA sentences: for
// files whose name does not tell (.log, .txt).
bool looksLikeNmea(std::string_view head);

}  // namespace geovanta

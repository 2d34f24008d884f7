#pragma once
// Reader of IGC flight logs (.igc): the B records of one flight, one track
// of "T" rows.
//
// A B record holds a UTC time of day; the date is the HFDTE header's
// ("HFDTE060917", or "HFDTEDATE:040920,01" in newer logs), and moves on a day
// whenever the time falls back past midnight. A time zone header does not
// change B times. The altitude is the GNSS one, or the pressure altitude when
// the logger wrote 0 for GNSS. A record marked V (a 2D fix or none, whose
// position may be the last one known) is left out and counted as void; B
// records before a readable date are counted as without a time. A damaged B record ends the
// read there, keeping the points before it, as a damaged line of a track
// file does.

#include <string_view>

#include "input/gpsread.h"
#include "input/loadresult.h"

namespace geovanta {

LoadResult readIgc(std::string_view bytes, GpsRead& read);

}  // namespace geovanta

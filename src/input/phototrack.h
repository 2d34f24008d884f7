#pragma once
// A track made of photographs: a phone writes where each picture was taken
// into the picture itself, so a folder of them is a track of the day, good
// enough to place a camera's photographs of the same walk.
//
// Every photograph of the folder `read.path` (and of the folders inside it
// when read.options.photoSubfolders) whose GPS tags hold a position becomes a
// track point. Its time is the GPS date and time stamps, UTC, when it has
// both; else its shooting time brought to UTC as a photograph to place is
// (its own zone when read.options.photoZones, then the photo offset). The
// photographs themselves give no rows to place. Those without a position are
// counted as left out; those that cannot be read are named in the warnings.

#include "input/fileformats.h"
#include "input/gpsread.h"
#include "input/loadresult.h"

namespace geovanta {

LoadResult readPhotoTrack(GpsRead& read);

// The load's entry for such a folder; it is in no list of file formats.
const FileFormat& photoTrackFormat();

}  // namespace geovanta

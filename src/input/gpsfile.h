#pragma once
// Reading one GPS file of a format of the list (fileformats.h): its bytes
// from the disk, decompressed when the file is gzip-compressed, handed to
// the format's reader.

#include <string>

#include "input/fileformats.h"
#include "input/gpsread.h"
#include "input/loadresult.h"

namespace geovanta {

// Reads `read.path` as a file of `format` (a GPS format), appending its
// rows to `read.rows`; the counts go into `read.stats`.
LoadResult readGpsFile(const FileFormat& format, GpsRead& read);

}  // namespace geovanta

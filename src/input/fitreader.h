#pragma once
// Reader of FIT files, the binary logs of sport watches, bike computers and
// action cameras. Every record with a time and a position becomes a track
// point ("T"), all of a file's records one track; the saved locations of a
// locations file become waypoints ("P") where they carry a time. Files
// written one after another into one file are all read.
//
// Records whose clock counts from the device's start are placed by the
// file's correlation of that clock with UTC. A wrong checksum is a warning
// and the points stay; damage (a cut file, a message without definition, a
// definition with an unknown byte order) keeps the points before it and
// fails naming the file and the byte offset. A file that holds no position
// at all (settings, a ride on a trainer) is rejected, saying so.

#include <cstdint>
#include <string_view>

#include "input/gpsread.h"
#include "input/loadresult.h"

namespace geovanta {

LoadResult readFit(std::string_view bytes, GpsRead& read);

// The file begins with a FIT file header.
bool looksLikeFit(std::string_view head);

// The checksum of FIT headers and files (CRC-16, polynomial 0x8005 bit
// reversed, starting at 0), continued from `crc`.
uint16_t fitCrc(std::string_view bytes, uint16_t crc = 0);

}  // namespace geovanta

#pragma once
// What a GPS file reader is given and what it gives back besides its rows.
// A reader appends rows to a table of the load's own and never runs the
// binding pass: the load merges what it read into the document and binds
// once. Every point with a time and a position becomes a row ("T" for track
// points, "P" for waypoints); the points left out are counted by reason, so
// that the load's message can say how many and why.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "input/loadresult.h"
#include "table/progress.h"

namespace geovanta {

class DataTable;
class FileBytes;

// Points a reader read and left out, by reason.
struct GpsReadStats {
    std::size_t withoutTime = 0;      // a row needs a time
    std::size_t withoutPosition = 0;  // a time but no latitude and longitude
    std::size_t voidFixes = 0;        // the receiver said its fix was not valid
    std::size_t badChecksums = 0;     // sentences or records whose checksum is wrong
    std::size_t impossibleTimes = 0;  // dates no fix can have (a GPS week rollover, a date far ahead)
    std::size_t inaccurate = 0;       // reported accuracy worse than the limit
    // Points kept without their altitude, which no receiver can give (beyond
    // kMaxAltitudeFeet): not left out, but said.
    std::size_t altitudesOutOfRange = 0;
    // Warnings about the file as a whole that did not stop the read ("the
    // file's CRC is wrong"): the message says them after the counts.
    std::vector<std::string> warnings;

    std::size_t leftOut() const {
        return withoutTime + withoutPosition + voidFixes + badChecksums + impossibleTimes + inaccurate;
    }
};

// The settings a reader may need.
struct GpsReadOptions {
    // Location history: a point whose reported accuracy is worse than this
    // many metres is left out.
    double maxAccuracyM = 100;
    // A track made of photographs: the folders inside the folder count too;
    // photographs without GPS time stamps are timed as photographs to place.
    bool photoSubfolders = false;
    bool photoZones = false;
    double photoOffsetDays = 0;
};

// One read of one file.
struct GpsRead {
    GpsRead(DataTable& rows, std::string path, uint16_t& trackCounter)
        : rows(rows), path(std::move(path)), trackCounter(trackCounter) {}

    DataTable& rows;         // the reader appends here (appendPointRow)
    std::string path;        // names the file in messages
    uint16_t& trackCounter;  // one up for each track the file holds; its points are named after it
    GpsReadOptions options;
    GpsReadStats stats;
    // Bytes passed go in here now and then; when it asks to stop, the read
    // ends between two points with LoadResult::cancelled().
    Progress* progress = nullptr;
    // The file's bytes when the reader may hand back what it has passed
    // (FileBytes::release), so that a big file and its rows are never in
    // memory whole at once; nullptr for bytes that are not the reader's to
    // release.
    FileBytes* spent = nullptr;
};

// A reader: the file's bytes in, rows appended to `read.rows`. A file that is
// not of the format is rejected with nothing appended; a fault part way keeps
// the points before it (LoadResult::failed with the file and the line or
// byte offset in its message).
using GpsReaderFn = LoadResult (*)(std::string_view bytes, GpsRead& read);
// The same, reading the file named by read.path itself.
using GpsFileReaderFn = LoadResult (*)(GpsRead& read);

}  // namespace geovanta

#pragma once
// Files compressed with gzip (walk.gpx.gz, ride.fit.gz): the whole stream
// inflated into memory, every member of a file that holds several, for the
// reader of the format inside. The output stops at kMaxWholeFileBytes, so
// that a small file that expands without end (a gzip bomb) cannot exhaust
// memory.

#include <cstdint>
#include <string>
#include <string_view>

#include "input/wholefile.h"

namespace geovanta {

struct GzipResult {
    enum class Status {
        Whole,    // every member inflated
        Damaged,  // the bytes before the damage are kept; the message names the file and offset
        NotGzip,  // no gzip stream at the start; nothing kept
        Failed,   // cannot be read, or expands beyond the limit; nothing kept
    };
    Status status = Status::Whole;
    std::string message;  // for every status but Whole
};

// Reads the file at `path` and inflates it into `out`. A damaged or cut
// stream keeps what came before the damage, so that the reader inside can
// keep the points before it and the load can report the damage after them.
GzipResult readGzipFile(const std::string& path, FileBytes& out);

// The same for compressed bytes in memory; `path` names the file in
// messages. `limit` is the most bytes the output may hold. When `spent` is
// given, the compressed bytes inflated are handed back to it as the output
// grows.
GzipResult inflateGzip(std::string_view compressed, const std::string& path, FileBytes& out,
                       uint64_t limit = kMaxWholeFileBytes, FileBytes* spent = nullptr);

// The bytes begin as a gzip member does.
bool looksLikeGzip(std::string_view head);

}  // namespace geovanta

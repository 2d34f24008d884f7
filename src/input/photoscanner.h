#pragma once
// The photo folder scanner: one row of kind "F" for every .JPG and .NEF file
// directly in the photo folder, timed by its EXIF shooting time or else by
// its modification time, then the binding pass.

#include <cstdint>
#include <string>
#include <vector>

#include "binding/calcpositions.h"
#include "input/loadresult.h"
#include "table/progress.h"

namespace geovanta {

class DataTable;

// The photo folder with a separator at its end, so that a file name can follow.
std::string normalisedFolderPath(const std::string& folder);

// True for a name whose extension (from its last ".") is .JPG or .NEF in any case.
bool isPhotoName(const std::string& name);
// The name without its extension; a name without "." stays whole.
std::string nameWithoutExtension(const std::string& name);

// Counters of one scan, for measurements.
struct PhotoScanStats {
    std::size_t photos = 0;
    uint64_t bytesRead = 0;
};

// A file the scan could not take in, and why (the reader's own error text).
// A folder listing that fails names the folder.
struct LeftOutFile {
    std::string path;  // bytes as the folder listing gave them
    std::string reason;
    bool operator==(const LeftOutFile&) const = default;
    // "path: reason" as messages show it, the path readable even when it is
    // not UTF-8.
    std::string line() const;
};

// Loaded unless something was left out; then `message` holds one line
// "path: reason" per entry of `leftOut`, in listing order.
struct PhotoScanResult : LoadResult {
    std::vector<LeftOutFile> leftOut;
};

// Appends the photographs of `folder` to the table and runs the binding pass.
// A photograph that cannot be read (damaged, cut off, not openable, or with a
// shooting time that is no time) is left out and the scan goes on with the
// next; a folder listing that breaks off ends the scan. Either way every
// photograph read is kept and bound.
// `progress` counts the photographs read; when it asks to stop, the scan
// ends at once with nothing bound.
PhotoScanResult LoadFotos(DataTable& table, const std::string& folder, const BindingParams& params,
                          PhotoScanStats* stats = nullptr, Progress* progress = nullptr);

}  // namespace geovanta

#pragma once
// The photo folder scanner: one row of kind "F" for every photograph in the
// photo folder (and its subfolders when asked; see photofolders.h), timed by
// its EXIF shooting time or else by its modification time.

#include <cstdint>
#include <string>
#include <vector>

#include "input/loadresult.h"
#include "input/photofolders.h"
#include "table/progress.h"

namespace geovanta {

class DataTable;

// The photo folder with a separator at its end, so that a file name can follow.
std::string normalisedFolderPath(const std::string& folder);

// The name without its extension; a name without "." stays whole.
std::string nameWithoutExtension(const std::string& name);

// Counters of one scan, for measurements.
struct PhotoScanStats {
    std::size_t photos = 0;
    uint64_t bytesRead = 0;
};

// Loaded unless something was left out; then `message` holds one line
// "path: reason" per entry of `leftOut`, in listing order.
struct PhotoScanResult : LoadResult {
    std::vector<LeftOutFile> leftOut;
};

// Appends the photographs of `folder` to the table. A photograph that cannot
// be read (damaged, cut off inside its EXIF data, or not openable) is left
// out and the scan goes on with the next; so it does past a folder that
// cannot be listed. Either way every photograph read is kept. A photograph whose EXIF date is no date is timed by its
// file's date, and its row keeps that text.
// `progress` counts the photographs read; when it asks to stop, the scan
// ends at once, cancelled.
PhotoScanResult LoadFotos(DataTable& table, const std::string& folder, SubFolders subFolders = SubFolders::Skip, PhotoScanStats* stats = nullptr,
                          Progress* progress = nullptr);

}  // namespace geovanta

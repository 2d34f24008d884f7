#pragma once
// The photo folder scanner: one row of kind "F" for every .JPG and .NEF file
// directly in the photo folder, timed by its EXIF shooting time or else by
// its modification time, then the binding pass.

#include <cstdint>
#include <string>

#include "binding/calcpositions.h"
#include "input/loadresult.h"

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

// Appends the photographs of `folder` to the table and runs the binding pass.
// An error (a damaged photograph, an unreadable time) ends the listing; the
// rows appended before it stay and still go through the pass.
LoadResult LoadFotos(DataTable& table, const std::string& folder, const BindingParams& params,
                     PhotoScanStats* stats = nullptr);

}  // namespace geovanta

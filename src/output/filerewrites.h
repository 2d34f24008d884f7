#pragma once
// Files that ExifTool wrote for this program, by their stamps before and
// after. ExifTool puts a new file in place of the one it writes: every row,
// and every job still to come, that knew the old file must learn the new
// one, or it would take that write for someone else's change.

#include <map>

#include "table/filestamp.h"

namespace geovanta {

class DataTable;

class FileRewrites {
public:
    void add(const FileStamp& before, const FileStamp& after);
    // The stamp the file that had `stamp` has now.
    FileStamp current(const FileStamp& stamp) const;
    // Gives every row that knew a rewritten file the stamp it has now.
    void applyTo(DataTable& table) const;

private:
    std::map<FileStamp, FileStamp> latest_;  // old stamp -> the stamp its file has now
};

}  // namespace geovanta

#pragma once
// Puts a folder's scan into the table. A photograph is known by its
// canonical path: one the table has a row for already (also one saved again
// by another program, which gives it a new inode) takes that row, keeping a
// place given by hand; a photograph renamed since (the same file, size and
// time, its old name gone) takes the row of its old name; the rest are
// appended. Photographs of the folder that are gone from the disk since
// leave the table.

#include <cstddef>
#include <string>

namespace geovanta {

class DataTable;

struct PhotoMerge {
    std::size_t refreshed = 0;  // photographs that had a row already
    std::size_t added = 0;
    std::size_t gone = 0;  // rows of the folder's photographs no longer on the disk, removed

    // `folder` is the folder scanned; with `removeGone` false nothing leaves
    // the table (a scan that could not list the folder says nothing of what
    // is gone).
    static PhotoMerge into(DataTable& table, const DataTable& scanned, const std::string& folder, bool removeGone);
};

}  // namespace geovanta

#pragma once
// The photographs of a photo folder, and of its subfolders when asked: every
// regular file (or link to one) whose extension is a camera format's.

#include <filesystem>
#include <string>
#include <vector>

#include "input/fileformats.h"
#include "table/progress.h"

namespace geovanta {

// Whether a scan also reads the folders inside the photo folder.
enum class SubFolders { Skip, Include };

// Subfolders further down than this are not read.
inline constexpr int kMaxFolderDepth = 32;


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

struct ListedPhoto {
    std::string name;      // the file's own name
    std::string fileName;  // the folder as given, then the path below it
    std::filesystem::directory_entry entry;
};

struct FolderListing {
    std::vector<ListedPhoto> photos;
    std::vector<LeftOutFile> unread;  // folders that could not be listed or lie too deep
};

// Lists `folder` (which ends with a separator; empty for the current
// folder). Alone, its photographs come in the order of the platform's
// listing. With its subfolders they come in path order, name by name down
// the path ("a/z.jpg" before "a.jpg", "a/b/c.jpg" before "a/c.jpg"); folders
// whose names start with "." are passed over, and a folder reached twice
// (through links) is read once. A folder that is not there holds no
// photographs. When `progress` asks to stop, no further folder is listed.
FolderListing listPhotos(const std::string& folder, SubFolders subFolders, const Progress* progress = nullptr);

}  // namespace geovanta

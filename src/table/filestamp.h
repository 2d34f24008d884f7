#pragma once
// What tells one state of a file from another cheaply: the file itself
// (device and inode), its size and its modification time. A photograph's
// stamp is taken when it is scanned and compared just before it is written,
// so that a file replaced or changed meanwhile never gets a position that
// was worked out for another.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>

namespace geovanta {

struct FileStamp {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modifiedNs = 0;  // nanoseconds since 1970-01-01 UTC

    auto operator<=>(const FileStamp&) const = default;
    // Whether both are of one file (device and inode), whatever its size and
    // time: a file rewritten in place, or reached through a link, is the same.
    bool sameFileAs(const FileStamp& other) const { return device == other.device && inode == other.inode; }
    // "device:inode:size:modifiedNs", for the table's text of the field.
    std::string text() const;
};

// The stamp of the file that `path` names, through symbolic links; nothing,
// with the system's reason in `error`, when it cannot be looked at.
std::optional<FileStamp> fileStampOf(const std::string& path, std::string* error = nullptr);
// The same for the name itself: a symbolic link's own stamp, not its target's.
std::optional<FileStamp> nameStampOf(const std::string& path, std::string* error = nullptr);

}  // namespace geovanta

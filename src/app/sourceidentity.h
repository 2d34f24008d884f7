#pragma once
// How a loaded file or folder is known again. Its canonical path decides:
// loading the same path again replaces what it gave, also when an editor
// saved the file by writing a new one and renaming it over the old (a new
// inode). The file itself (device and inode, with its size and time) only
// follows a rename: it counts where the old path no longer leads to it, so
// that a new file that happens to get a deleted file's inode is a new file.

#include <optional>
#include <string>

#include "table/filestamp.h"

namespace geovanta {

struct SourceIdentity {
    std::string canonical;           // absolute, links and "." / ".." resolved as far as the path exists
    std::optional<FileStamp> stamp;  // nothing when it could not be looked at
    bool folder = false;

    // The identity of what `path` names now.
    static SourceIdentity of(const std::string& path);
    // Whether this, looked at now, is what `earlier` was when it was loaded.
    bool sameAs(const SourceIdentity& earlier) const;
};

// `path` made absolute with its links and dots resolved as far as it exists;
// `path` itself when even that fails.
std::string canonicalPath(const std::string& path);

// `path` made absolute against the working folder, "." steps dropped, links
// and ".." kept: the place the person named, as they named it (a folder
// reached through a link stays under the link's name), which still means the
// same after the working folder changes. `path` itself when that fails.
std::string absolutePath(const std::string& path);

}  // namespace geovanta

#include "app/sourceidentity.h"

#include <filesystem>
#include <system_error>

namespace geovanta {

namespace fs = std::filesystem;

std::string canonicalPath(const std::string& path) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(fs::path(path), ec);
    if (ec) return path;
    const fs::path canonical = fs::weakly_canonical(absolute, ec);
    return ec ? absolute.lexically_normal().string() : canonical.string();
}

std::string absolutePath(const std::string& path) {
    if (path.empty()) return path;
    std::error_code ec;
    const fs::path absolute = fs::absolute(fs::path(path), ec);
    if (ec) return path;
    // ".." is left alone: after a link it does not lead where the text says.
    fs::path tidy;
    for (const fs::path& part : absolute)
        if (part != ".") tidy /= part;
    return tidy.string();
}

SourceIdentity SourceIdentity::of(const std::string& path) {
    SourceIdentity id;
    id.canonical = canonicalPath(path);
    id.stamp = fileStampOf(path);
    std::error_code ec;
    id.folder = fs::is_directory(fs::path(path), ec);
    return id;
}

bool SourceIdentity::sameAs(const SourceIdentity& earlier) const {
    if (canonical == earlier.canonical) return true;
    if (!stamp || !earlier.stamp || folder != earlier.folder || !stamp->sameFileAs(*earlier.stamp)) return false;
    // A folder's time changes with what it holds; a file renamed keeps its
    // size and time, where a new file on a reused inode has its own.
    if (!folder && (stamp->size != earlier.stamp->size || stamp->modifiedNs != earlier.stamp->modifiedNs))
        return false;
    // Renamed: the old path no longer leads to this file.
    const std::optional<FileStamp> old = fileStampOf(earlier.canonical);
    return !old || !old->sameFileAs(*stamp);
}

}  // namespace geovanta

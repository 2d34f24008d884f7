#include "output/sidecarfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "table/messages.h"

namespace fs = std::filesystem;

namespace geovanta {
namespace {

// What ExifTool fills in as if it had made the file from nothing: the packet
// it writes around the tags, with none inside yet.
constexpr std::string_view kEmptyPacket =
    "<?xpacket begin='\xEF\xBB\xBF' id='W5M0MpCehiHzreSzNTczkc9d'?>\n"
    "<x:xmpmeta xmlns:x='adobe:ns:meta/'>\n"
    "</x:xmpmeta>\n"
    "<?xpacket end='w'?>\n";

std::string changed(Msg how) { return textOf(Msg::ChangedSinceWriteBegan) + ": " + textOf(how); }

bool isThere(const fs::path& path) {
    std::error_code ec;
    return fs::symlink_status(path, ec).type() != fs::file_type::not_found;
}

// The name with the folders on the way resolved and the last part as it is:
// what has that name is looked at, never where it may lead.
std::string resolvedName(const std::string& name, std::error_code& ec) {
    const fs::path path(name);
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const fs::path real = fs::canonical(folder, ec);
    return ec ? std::string() : (real / path.filename()).string();
}

#ifndef _WIN32
// Writes the whole packet into the new file `fd`; the system's reason when it could not.
std::optional<std::string> writePacket(int fd) {
    for (std::string_view left = kEmptyPacket; !left.empty();) {
        const ssize_t n = ::write(fd, left.data(), left.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return std::strerror(n < 0 ? errno : EIO);
        left.remove_prefix(static_cast<std::size_t>(n));
    }
    return std::nullopt;
}
#endif

}  // namespace

std::string sidecarName(const std::string& fileName, Sidecars naming) {
    if (naming == Sidecars::FullName) return fileName + ".xmp";
    const fs::path photo(fileName);
    fs::path sidecar = photo;
    sidecar.replace_extension(".xmp");
    if (!isThere(sidecar)) {
        fs::path upper = photo;
        upper.replace_extension(".XMP");
        if (isThere(upper)) return upper.string();
    }
    return sidecar.string();
}

SidecarSeen seeSidecar(const std::string& name) {
    SidecarSeen seen;
    std::error_code ec;
    seen.resolved = resolvedName(name, ec);
    if (!seen.resolved.empty()) seen.stamp = nameStampOf(seen.resolved);
    return seen;
}

SidecarFile checkSidecarFile(const std::string& name, const SidecarSeen& seen, const std::optional<FileStamp>& photo) {
    SidecarFile file;
    std::error_code ec;
    file.target = resolvedName(name, ec);
    if (ec) {
        file.refusal = textOf(Msg::CannotBeLookedAt, {ec.message()});
        return file;
    }
    // A folder on the way that leads elsewhere now would take the file out
    // of the folder locked for it.
    if (file.target != seen.resolved) {
        file.refusal = changed(Msg::LinkLeadsElsewhere);
        return file;
    }
    const fs::file_status own = fs::symlink_status(file.target, ec);
    if (own.type() == fs::file_type::not_found) {
        if (seen.stamp)
            file.refusal = changed(Msg::NoLongerThere);
        else
            file.isNew = true;
        return file;
    }
    if (ec) {
        file.refusal = textOf(Msg::CannotBeLookedAt, {ec.message()});
        return file;
    }
    if (own.type() != fs::file_type::regular) {
        file.refusal = textOf(own.type() == fs::file_type::symlink     ? Msg::SidecarIsALink
                              : own.type() == fs::file_type::directory ? Msg::FolderHasSidecarName
                                                                       : Msg::NotRegularFile);
        return file;
    }
    std::string error;
    const std::optional<FileStamp> now = nameStampOf(file.target, &error);
    const std::uintmax_t names = fs::hard_link_count(file.target, ec);
    if (!now || ec) {
        file.refusal = textOf(Msg::CannotBeLookedAt, {now ? ec.message() : error});
        return file;
    }
    if (photo && now->sameFileAs(*photo)) {
        file.refusal = textOf(Msg::SidecarIsThePhoto);
        return file;
    }
    // ExifTool puts a new file in the name's place, so another name would
    // keep the old one, or, read as XMP, a file that is none.
    if (names != 1) {
        file.refusal = textOf(Msg::SidecarHasOtherNames);
        return file;
    }
    if (!seen.stamp) {
        file.refusal = changed(Msg::NotThereYet);
        return file;
    }
    if (*now != *seen.stamp) {
        file.refusal = textOf(Msg::ChangedSinceWriteBegan);
        return file;
    }
    constexpr fs::perms kWriteBits = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if ((own.permissions() & kWriteBits) == fs::perms::none) file.refusal = textOf(Msg::ReadOnlyFile);
    return file;
}

std::optional<FileStamp> createSidecarFile(const std::string& path, std::string& error) {
#ifndef _WIN32
    // O_EXCL alone already refuses a link of any kind in its place; O_NOFOLLOW
    // says so where it is read.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = errno == EEXIST ? changed(Msg::NotThereYet) : std::strerror(errno);
        return std::nullopt;
    }
    struct stat made {};
    std::optional<std::string> failed = writePacket(fd);
    if (!failed && ::fstat(fd, &made) != 0) failed = std::strerror(errno);
    if (::close(fd) != 0 && !failed) failed = std::strerror(errno);
    std::optional<FileStamp> stamp = nameStampOf(path);
    const bool ours = stamp && stamp->device == static_cast<uint64_t>(made.st_dev) &&
                      stamp->inode == static_cast<uint64_t>(made.st_ino);
    if (!failed && !ours) failed = changed(Msg::NotThereYet);
    if (failed) {
        if (ours) ::unlink(path.c_str());
        error = *failed;
        return std::nullopt;
    }
    return stamp;
#else
    std::FILE* file = std::fopen(path.c_str(), "wbx");
    if (!file) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    const bool written = std::fwrite(kEmptyPacket.data(), 1, kEmptyPacket.size(), file) == kEmptyPacket.size();
    if (std::fclose(file) != 0 || !written) {
        std::remove(path.c_str());
        error = textOf(Msg::CannotWriteTo, {path});
        return std::nullopt;
    }
    return nameStampOf(path, &error);
#endif
}

void removeUnwrittenSidecar(const std::string& path, const FileStamp& made) {
    if (nameStampOf(path) != made) return;
    std::error_code ignored;
    fs::remove(path, ignored);
}

}  // namespace geovanta

#include "output/photofile.h"

#include <filesystem>
#include <functional>
#include <system_error>

#include "table/messages.h"

namespace fs = std::filesystem;

namespace geovanta {
namespace {

std::string changed(Msg how) { return textOf(Msg::ChangedSinceLoaded) + ": " + textOf(how); }

}  // namespace

std::string resolvedPhotoPath(const std::string& fileName) {
    std::error_code ec;
    const fs::path target = fs::canonical(fileName, ec);
    return ec ? std::string() : target.string();
}

std::string photoFolder(const std::string& fileName, const std::string& resolved) {
    if (!resolved.empty()) return fs::path(resolved).parent_path().string();
    std::error_code ec;
    const fs::path absolute = fs::absolute(fileName, ec);
    return (ec ? fs::path(fileName) : absolute).parent_path().string();
}

PhotoFile checkPhotoFile(const std::string& fileName, const std::string& resolved, const FileStamp* scanned,
                         bool written) {
    PhotoFile file;
    std::error_code ec;
    const fs::path target = fs::canonical(fileName, ec);
    if (ec == std::errc::no_such_file_or_directory) {
        file.refusal = changed(Msg::NoLongerThere);
        return file;
    }
    if (ec) {
        file.refusal = textOf(Msg::CannotBeLookedAt, {ec.message()});
        return file;
    }
    file.target = target.string();
    if (!resolved.empty() && file.target != resolved) {
        file.refusal = changed(Msg::LinkLeadsElsewhere);
        return file;
    }
    // The target holds no links any more: what is seen here is the file itself.
    const fs::file_status status = fs::symlink_status(target, ec);
    if (!ec && status.type() == fs::file_type::directory) {
        // ExifTool would write every image inside it.
        file.refusal = changed(Msg::FolderInItsPlace);
        return file;
    }
    if (ec || status.type() != fs::file_type::regular) {
        file.refusal = changed(Msg::NoLongerRegular);
        return file;
    }
    if (scanned && fileStampOf(file.target) != *scanned) {
        file.refusal = textOf(Msg::ChangedSinceLoaded);
        return file;
    }
    // The bits, not whether we may write it: as root every file is writable,
    // and a file someone made read-only is still meant to stay as it is.
    constexpr fs::perms kWriteBits = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if (written && (status.permissions() & kWriteBits) == fs::perms::none) file.refusal = textOf(Msg::ReadOnlyFile);
    return file;
}

std::optional<std::string> relinkPhoto(const std::string& written, const std::string& other) {
    // A new name beside it, then renamed over it: the name leads to the old
    // file or to the new one, never to none.
    // Its name is short whatever the photograph's: any name has a limit.
    const fs::path link =
        fs::path(other).parent_path() / (".geovanta-link-" + std::to_string(std::hash<std::string>{}(other)));
    std::error_code ec;
    fs::create_hard_link(written, link, ec);
    if (ec) return ec.message();
    fs::rename(link, other, ec);
    if (!ec) return std::nullopt;
    std::error_code ignored;
    fs::remove(link, ignored);
    return ec.message();
}

}  // namespace geovanta

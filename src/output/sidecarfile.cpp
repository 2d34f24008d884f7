#include "output/sidecarfile.h"

#include <filesystem>
#include <system_error>

#include "output/photofile.h"
#include "table/messages.h"

namespace fs = std::filesystem;

namespace geovanta {
namespace {

std::string changed(Msg how) { return textOf(Msg::ChangedSinceWriteBegan) + ": " + textOf(how); }

bool isThere(const fs::path& path) {
    std::error_code ec;
    return fs::symlink_status(path, ec).type() != fs::file_type::not_found;
}

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
    seen.resolved = resolvedPhotoPath(name);
    if (!seen.resolved.empty()) seen.stamp = fileStampOf(seen.resolved);
    return seen;
}

SidecarFile checkSidecarFile(const std::string& name, const SidecarSeen& seen, const std::optional<FileStamp>& photo) {
    SidecarFile file;
    std::error_code ec;
    const fs::file_status own = fs::symlink_status(name, ec);
    if (own.type() == fs::file_type::not_found) {
        if (seen.stamp)
            file.refusal = changed(Msg::NoLongerThere);
        else
            file.target = name;  // made new
        return file;
    }
    if (ec) {
        file.refusal = textOf(Msg::CannotBeLookedAt, {ec.message()});
        return file;
    }
    const fs::path target = fs::canonical(name, ec);
    if (ec) {
        // Written through, a link that leads nowhere would make a file
        // wherever it points.
        file.refusal = own.type() == fs::file_type::symlink ? textOf(Msg::LinkLeadsNowhere)
                                                             : textOf(Msg::CannotBeLookedAt, {ec.message()});
        return file;
    }
    file.target = target.string();
    const fs::file_status status = fs::symlink_status(target, ec);
    if (!ec && status.type() == fs::file_type::directory) {
        file.refusal = textOf(Msg::FolderHasSidecarName);
        return file;
    }
    if (ec || status.type() != fs::file_type::regular) {
        file.refusal = textOf(Msg::NotRegularFile);
        return file;
    }
    const std::optional<FileStamp> now = fileStampOf(file.target);
    if (photo && now && now->sameFileAs(*photo)) {
        file.refusal = textOf(Msg::SidecarIsThePhoto);
        return file;
    }
    if (!seen.stamp) {
        file.refusal = changed(Msg::NotThereYet);
        return file;
    }
    if (file.target != seen.resolved) {
        file.refusal = changed(Msg::LinkLeadsElsewhere);
        return file;
    }
    if (now != seen.stamp) {
        file.refusal = textOf(Msg::ChangedSinceWriteBegan);
        return file;
    }
    constexpr fs::perms kWriteBits = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if ((status.permissions() & kWriteBits) == fs::perms::none) file.refusal = textOf(Msg::ReadOnlyFile);
    return file;
}

}  // namespace geovanta

#include "app/photomerge.h"

#include <filesystem>
#include <map>
#include <optional>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "app/handhistory.h"
#include "app/sourceidentity.h"
#include "table/datatable.h"

namespace geovanta {
namespace {

namespace fs = std::filesystem;

// The canonical path of a photograph's file: its folder resolved once for
// all the photographs in it, then its own name, so that a photograph that
// is itself a link is still known by its own name.
class PhotoKeys {
public:
    std::string of(std::string_view fileName) {
        const std::size_t slash = fileName.rfind('/');
        const std::string folder(slash == std::string_view::npos ? std::string_view(".") : fileName.substr(0, slash + 1));
        auto found = folders_.find(folder);
        if (found == folders_.end()) found = folders_.emplace(folder, canonicalPath(folder)).first;
        std::string key = found->second;
        if (key.empty() || key.back() != '/') key += '/';
        return key + std::string(slash == std::string_view::npos ? fileName : fileName.substr(slash + 1));
    }

private:
    std::unordered_map<std::string, std::string> folders_;
};

using FileOf = std::tuple<uint64_t, uint64_t, int64_t, int64_t>;  // device, inode, size, time

std::optional<FileOf> fileOf(const DataTable& table, std::size_t row) {
    const FileStamp* s = table.fileStamp(row);
    if (!s || s->inode == 0) return std::nullopt;
    return FileOf{s->device, s->inode, s->size, s->modifiedNs};
}

bool onDisk(std::string_view path) {
    std::error_code ec;
    const fs::file_type type = fs::symlink_status(fs::path(std::string(path)), ec).type();
    if (type != fs::file_type::not_found) return true;
    // Only a name that leads nowhere is gone; one that cannot be looked at
    // (no permission) may well be there.
    return ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory;
}

void refresh(DataTable& table, std::size_t row, const DataTable& scanned, std::size_t from) {
    // A photograph placed by hand keeps its place when its folder is read again.
    const std::optional<HandPosition> kept =
        table.placedByHand(row) ? std::optional(HandPosition::of(table, row)) : std::nullopt;
    table.overwriteRow(row, scanned, from);
    if (kept) kept->applyTo(table, row);
}

}  // namespace

PhotoMerge PhotoMerge::into(DataTable& table, const DataTable& scanned, const std::string& folder, bool removeGone) {
    PhotoMerge merge;
    PhotoKeys keys;
    std::map<std::string, std::size_t> byPath;
    std::map<FileOf, std::size_t> byFile;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        if (!table.isPhoto(row) || table.text(row, FieldId::FileName).empty()) continue;
        byPath.emplace(keys.of(table.text(row, FieldId::FileName)), row);
        if (const auto f = fileOf(table, row)) byFile.emplace(*f, row);
    }
    std::vector<bool> taken(table.rowCount());
    for (std::size_t row = 0; row < scanned.rowCount(); ++row) {
        std::optional<std::size_t> into;
        if (const auto found = byPath.find(keys.of(scanned.text(row, FieldId::FileName))); found != byPath.end())
            into = found->second;
        // Renamed: the same file under a new name, its old name leading nowhere now.
        const auto f = fileOf(scanned, row);
        if (!into && f) {
            const auto found = byFile.find(*f);
            if (found != byFile.end() && !taken[found->second] &&
                !onDisk(table.text(found->second, FieldId::FileName)))
                into = found->second;
        }
        if (into && !taken[*into]) {
            refresh(table, *into, scanned, row);
            taken[*into] = true;
            ++merge.refreshed;
        } else {
            table.appendCopyOf(scanned, row);
            ++merge.added;
        }
    }
    if (!removeGone) return merge;
    const std::string under = [&] {
        std::string f = canonicalPath(folder);
        return f.empty() || f.back() == '/' ? f : f + '/';
    }();
    std::vector<bool> gone(table.rowCount());
    for (std::size_t row = 0; row < taken.size(); ++row) {
        if (taken[row] || !table.isPhoto(row)) continue;
        const std::string_view file = table.text(row, FieldId::FileName);
        if (file.empty() || !keys.of(file).starts_with(under) || onDisk(file)) continue;
        gone[row] = true;
        ++merge.gone;
    }
    if (merge.gone > 0) table.removeRows(gone);
    return merge;
}

}  // namespace geovanta

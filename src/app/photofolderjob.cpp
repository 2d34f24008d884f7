#include "app/photofolderjob.h"

#include <map>
#include <new>
#include <tuple>

#include "app/handhistory.h"
#include "binding/calcpositions.h"
#include "input/wholefile.h"
#include "table/displaysuspension.h"
#include "table/textcodec.h"

namespace geovanta {
namespace {

// A photograph's file as the folder holds it: the file (device and inode)
// under its own name, so that two hard links in one folder stay two rows.
using PhotoKey = std::tuple<uint64_t, uint64_t, std::string>;

std::string_view baseName(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::optional<PhotoKey> keyOf(const DataTable& table, std::size_t row) {
    const FileStamp* stamp = table.isPhoto(row) ? table.fileStamp(row) : nullptr;
    if (!stamp) return std::nullopt;
    return PhotoKey{stamp->device, stamp->inode, std::string(baseName(table.text(row, FieldId::FileName)))};
}

}  // namespace

std::string PhotoFolderJob::title() const { return displayFileName(outcome_.folder); }

void PhotoFolderJob::start(Document& document) {
    params_ = document.params();
    subFolders_ = document.state().photoSubfolders ? SubFolders::Include : SubFolders::Skip;
    source_.kind = LoadedSource::Kind::PhotoFolder;
    source_.path = outcome_.folder;
    source_.identity = Document::identityOf(outcome_.folder);
}

void PhotoFolderJob::work(DataTable& table, Progress& progress) {
    DataTable scanned;
    try {
        outcome_.scan = LoadFotos(scanned, outcome_.folder, subFolders_, nullptr, &progress);
    } catch (const std::bad_alloc&) {
        static_cast<LoadResult&>(outcome_.scan) = LoadResult::failed(outOfMemoryMessage(outcome_.folder));
    }
    if (outcome_.scan.status == LoadResult::Status::Cancelled) return;
    DisplaySuspension suspended(table);
    outcome_.refreshed = mergePhotos(table, scanned);
    table.setLastScanPhotoCount(scanned.lastScanPhotoCount());
    CalcPositions(table, params_);
}

std::size_t PhotoFolderJob::mergePhotos(DataTable& table, const DataTable& scanned) {
    std::map<PhotoKey, std::size_t> rows;
    for (std::size_t row = 0; row < table.rowCount(); ++row)
        if (const auto key = keyOf(table, row)) rows.emplace(*key, row);
    std::size_t refreshed = 0;
    for (std::size_t row = 0; row < scanned.rowCount(); ++row) {
        const auto key = keyOf(scanned, row);
        const auto found = key ? rows.find(*key) : rows.end();
        if (found == rows.end()) {
            table.appendCopyOf(scanned, row);
            continue;
        }
        // A photograph placed by hand keeps its place when its folder is read again.
        const std::optional<HandPosition> kept =
            table.placedByHand(found->second) ? std::optional(HandPosition::of(table, found->second)) : std::nullopt;
        table.overwriteRow(found->second, scanned, row);
        if (kept) kept->applyTo(table, found->second);
        ++refreshed;
    }
    return refreshed;
}

void PhotoFolderJob::finish(Document& document, bool cancelled) {
    if (cancelled || outcome_.scan.status == LoadResult::Status::Cancelled) return;
    document.noteLoaded(source_);
    if (done_) done_(document, outcome_);
}

}  // namespace geovanta

#include "app/photofolderjob.h"

#include <filesystem>
#include <new>

#include "binding/calcpositions.h"
#include "input/wholefile.h"
#include "table/displaysuspension.h"
#include "table/textcodec.h"

namespace geovanta {
namespace {

// A folder the scan could not list says nothing of which photographs are
// gone from it.
bool listedWhole(const PhotoScanResult& scan) {
    std::error_code ec;
    for (const LeftOutFile& f : scan.leftOut)
        if (std::filesystem::is_directory(std::filesystem::path(f.path), ec)) return false;
    return true;
}

}  // namespace

std::string PhotoFolderJob::title() const { return displayFileName(outcome_.folder); }

void PhotoFolderJob::start(Document& document) {
    params_ = document.params();
    subFolders_ = document.state().photoSubfolders ? SubFolders::Include : SubFolders::Skip;
    source_.kind = LoadedSource::Kind::PhotoFolder;
    source_.path = outcome_.folder;
    source_.identity = SourceIdentity::of(outcome_.folder);
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
    outcome_.merge = PhotoMerge::into(table, scanned, outcome_.folder, listedWhole(outcome_.scan));
    table.setLastScanPhotoCount(scanned.lastScanPhotoCount());
    CalcPositions(table, params_);
}

void PhotoFolderJob::finish(Document& document, bool cancelled) {
    if (cancelled || outcome_.scan.status == LoadResult::Status::Cancelled) return;
    document.noteLoaded(source_);
    if (done_) done_(document, outcome_);
}

}  // namespace geovanta

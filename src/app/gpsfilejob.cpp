#include "app/gpsfilejob.h"

#include <new>

#include "binding/calcpositions.h"
#include "input/wholefile.h"
#include "table/displaysuspension.h"
#include "table/textcodec.h"

namespace geovanta {

std::string GpsFileJob::title() const {
    const std::size_t slash = outcome_.path.rfind('/');
    return displayFileName(slash == std::string::npos ? outcome_.path : outcome_.path.substr(slash + 1));
}

void GpsFileJob::start(Document& document) {
    params_ = document.params();
    trackCounter_ = document.state().trackCounter;
    before_ = document.loadedBefore(LoadedSource::Kind::GpsFile, outcome_.path);
    source_.kind = LoadedSource::Kind::GpsFile;
    source_.path = outcome_.path;
    source_.identity = Document::identityOf(outcome_.path);
}

void GpsFileJob::work(DataTable& table, Progress& progress) {
    source_.firstRow = table.nextCreationNumber();
    try {
        outcome_.result =
            readGpsFile(table, kind_, outcome_.path, trackCounter_, params_, outcome_.stats, &progress);
    } catch (const std::bad_alloc&) {
        // The rows read so far stay; the table is whole.
        outcome_.result = LoadResult::failed(outOfMemoryMessage(outcome_.path));
    }
    source_.endRow = table.nextCreationNumber();
    // The old points go only once the new ones are in: a file that is no
    // longer a track leaves its earlier load as it was.
    if (!before_ || outcome_.result.status == LoadResult::Status::Rejected ||
        outcome_.result.status == LoadResult::Status::Cancelled)
        return;
    const uint64_t first = before_->firstRow, end = before_->endRow;
    {
        DisplaySuspension suspended(table);
        outcome_.replacedRows = table.removeRowsIf([&](std::size_t row) {
            const uint64_t n = table.creationNumber(row);
            return n >= first && n < end;
        });
        if (outcome_.replacedRows > 0) CalcPositions(table, params_);
    }
}

void GpsFileJob::finish(Document& document, bool cancelled) {
    if (cancelled || outcome_.result.status == LoadResult::Status::Cancelled) return;
    document.state().trackCounter = trackCounter_;
    if (outcome_.result.status != LoadResult::Status::Rejected) document.noteLoaded(source_);
    if (done_) done_(document, outcome_);
}

}  // namespace geovanta

#include "app/gpsfilejob.h"

#include <new>

#include "binding/calcpositions.h"
#include "input/wholefile.h"
#include "table/displaysuspension.h"
#include "table/textcodec.h"

namespace geovanta {

std::vector<std::string> GpsFileJob::Outcome::notes() const {
    std::vector<std::string> lines;
    if (result.status == LoadResult::Status::Rejected || result.status == LoadResult::Status::Cancelled) return lines;
    const std::string file = displayFileName(path);
    const std::pair<std::size_t, Msg> counts[] = {
        {stats.withoutTime, Msg::SkippedPoints},
        {stats.withoutPosition, Msg::SkippedNoPosition},
        {stats.voidFixes, Msg::SkippedVoidFixes},
        {stats.badChecksums, Msg::SkippedBadChecksums},
        {stats.impossibleTimes, Msg::SkippedImpossibleTimes},
        {stats.inaccurate, Msg::SkippedInaccurate},
        {stats.altitudesOutOfRange, Msg::AltitudesOutOfRange},
    };
    for (const auto& [count, id] : counts)
        if (count > 0) lines.push_back(textOf(id, {count, file}));
    for (const std::string& warning : stats.warnings) lines.push_back(warning + " (" + file + ")");
    return lines;
}

std::string GpsFileJob::title() const {
    const std::size_t slash = outcome_.path.rfind('/');
    return displayFileName(slash == std::string::npos ? outcome_.path : outcome_.path.substr(slash + 1));
}

void GpsFileJob::start(Document& document) {
    params_ = document.params();
    options_ = gpsReadOptions(document.state());
    trackCounter_ = trackCounterBefore_ = document.state().trackCounter;
    before_ = document.loadedBefore(LoadedSource::Kind::GpsFile, outcome_.path);
    source_.kind = LoadedSource::Kind::GpsFile;
    source_.path = outcome_.path;
    source_.identity = SourceIdentity::of(outcome_.path);
}

void GpsFileJob::work(DataTable& table, Progress& progress) {
    source_.firstRow = table.nextCreationNumber();
    try {
        GpsRead read(table, outcome_.path, trackCounter_);
        read.options = options_;
        read.progress = &progress;
        outcome_.result = readGpsFile(format_, read);
        outcome_.stats = std::move(read.stats);
    } catch (const std::bad_alloc&) {
        // The rows read so far stay; the table is whole.
        outcome_.result = LoadResult::failed(outOfMemoryMessage(outcome_.path));
    }
    source_.endRow = table.nextCreationNumber();
    if (outcome_.result.status == LoadResult::Status::Rejected ||
        outcome_.result.status == LoadResult::Status::Cancelled)
        return;
    DisplaySuspension suspended(table);
    // A file read again that is damaged now (or gone) would replace a whole
    // earlier read by a part: the earlier rows stay, and the person is told.
    const bool keepEarlier = before_ && outcome_.result.status == LoadResult::Status::Failed;
    const uint64_t first = keepEarlier ? source_.firstRow : before_ ? before_->firstRow : 0;
    const uint64_t end = keepEarlier ? source_.endRow : before_ ? before_->endRow : 0;
    if (first < end) {
        outcome_.replacedRows = table.removeRowsIf([&](std::size_t row) {
            const uint64_t n = table.creationNumber(row);
            return n >= first && n < end;
        });
    }
    if (keepEarlier) {
        outcome_.keptEarlier = true;
        outcome_.replacedRows = 0;
        trackCounter_ = trackCounterBefore_;
        outcome_.result.message += textOf(Msg::EarlierRowsKept);
    }
    CalcPositions(table, params_);
}

void GpsFileJob::finish(Document& document, bool cancelled) {
    if (cancelled || outcome_.result.status == LoadResult::Status::Cancelled) return;
    document.state().trackCounter = trackCounter_;
    if (outcome_.result.status != LoadResult::Status::Rejected && !outcome_.keptEarlier) document.noteLoaded(source_);
    if (done_) done_(document, outcome_);
}

}  // namespace geovanta

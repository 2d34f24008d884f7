#include "app/tagwrite.h"

#include "app/placementtexts.h"
#include "binding/placement.h"
#include "table/datatable.h"
#include "table/messages.h"
#include "table/phototype.h"
#include "table/position.h"

namespace geovanta {
namespace {

// The name of an XMP file as the console names the choice.
std::string namingExample(Sidecars sidecars) {
    return sidecars == Sidecars::FullName ? "IMG_0001.CR3.xmp" : "IMG_0001.xmp";
}

// Whether the photograph carried a position of its own when it was scanned.
bool carriesPosition(const DataTable& table, std::size_t row) {
    return table.isPhoto(row) && table.photoFacts(row).gps.has_value();
}

// Why a photograph without a position has none. A table changed since the
// pass may say it would be placed: then that is why.
std::string unplacedReason(const PhotoPlacement& photo, const ProgramState& state) {
    const PlacementKind kind = photo.placement.kind;
    if (kind == PlacementKind::Placed || kind == PlacementKind::ByHand) return textOf(Msg::ChangedSincePass);
    return placementLine(photo.placement, state.tolerance);
}

}  // namespace

// The batch's reports as the console shows them, on the batch's thread.
class TagWrite::Report : public TagBatchObserver {
public:
    explicit Report(TagWrite& write) : w_(write) {}

    void photoDone(std::size_t job, const TagWriter::Result& result, bool afterAbort) override {
        ConsoleView& console = w_.console_;
        if (w_.single_) {
            std::vector<std::string> lines = result.notes;
            lines.insert(lines.end(), result.outputLines.begin(), result.outputLines.end());
            console.replaceInfo(std::move(lines));
            console.replaceErrors(result.errorLines);
            return;
        }
        for (const std::string& note : result.notes) console.notice(note);
        // Photographs that are no job keep their place in the pane, each
        // with its reason.
        for (; w_.quietShown_ < w_.quietEnd_[job]; ++w_.quietShown_) {
            console.stepProgress();
            if (!afterAbort) console.appendInfo({w_.quiet_[w_.quietShown_]});
        }
        console.stepProgress();
        // What came after the abort is not shown: the person asked to stop.
        if (afterAbort) {
            console.replaceErrors(result.errorLines);
            return;
        }
        std::vector<std::string> entry;
        if (!w_.leads_[job].empty()) entry.push_back(w_.leads_[job]);
        if (w_.jobs_[job].clear && result.changed && !result.failure)
            entry.push_back(TagWriter::failureLine(w_.jobs_[job].fileName, textOf(Msg::PositionsCleared)));
        entry.insert(entry.end(), result.outputLines.begin(), result.outputLines.end());
        console.appendInfo(entry);
        console.replaceErrors(result.errorLines);
    }
    void notice(const std::string& line) override { w_.console_.notice(line); }

private:
    TagWrite& w_;
};

TagContent tagContent(const ProgramState& state) {
    TagContent content;
    content.placeNames = state.placeNames;
    content.direction = state.travelDirection;
    content.params = bindingParams(state);
    return content;
}

namespace {

// A photograph in a privacy zone has no position to write, even one given
// by hand before the zone was drawn.
bool writable(const DataTable& table, std::size_t row, const TagContent& content) {
    return hasPosition(table, row) && !zoneHolding(content.params.privacyZones, table.real(row, FieldId::Lat),
                                                   table.real(row, FieldId::Lon));
}

}  // namespace

std::string TagWrite::Outcome::summary() const {
    const auto failed = failures.size();
    std::string text = mixed     ? textOf(Msg::MixedSummary, {written - sidecarsWritten, sidecarsWritten, notPlaced, failed})
                       : sidecars ? textOf(Msg::SidecarSummary, {written, notPlaced, failed})
                                  : textOf(Msg::TagSummary, {written, notPlaced, failed});
    if (kept > 0) text += textOf(Msg::SummaryKept, {kept});
    if (cleared > 0) text += textOf(Msg::SummaryCleared, {cleared});
    if (notTried > 0) text += textOf(aborted ? Msg::TagSummaryNotTriedAfterAbort : Msg::TagSummaryNotTried, {notTried});
    return text;
}

std::vector<std::string> TagWrite::choiceLines(const Settings& settings) {
    std::vector<std::string> lines;
    if (settings.sidecars == Sidecars::None)
        lines.push_back(textOf(Msg::WriteIntoPhotos));
    else
        lines.push_back(textOf(settings.rawOnly ? Msg::WriteRawIntoSidecars : Msg::WriteIntoSidecars,
                               {namingExample(settings.sidecars)}));
    lines.push_back(textOf(settings.keepExisting ? Msg::KeepExistingOn : Msg::KeepExistingOff));
    lines.push_back(textOf(settings.clearUnplaced ? Msg::ClearUnplacedOn : Msg::ClearUnplacedOff));
    return lines;
}

TagWrite::TagWrite(Document& document, Document::Lease lease, ConsoleView& console,
                   std::shared_ptr<SessionFactory> sessions, Settings settings)
    : document_(document), lease_(std::move(lease)), console_(console), sessions_(std::move(sessions)),
      writer_(*sessions_), settings_(settings), batch_(writer_, settings.batch) {}

TagWrite::~TagWrite() {
    // Every way out disarms the console, also one that never finished.
    disarm();
}

TagWrite::Begun TagWrite::begin(Document& document, ConsoleView& console, std::shared_ptr<SessionFactory> sessions,
                                Scope scope, Settings settings) {
    const DataTable& table = document.table();
    if (table.isEmpty()) return {};
    if (scope == Scope::Current) {
        const std::size_t row = table.recNo();
        if (table.eof() || row >= table.rowCount() || !table.isPhoto(row) || !writable(table, row, settings.content))
            return {};
    }
    std::optional<Document::Lease> lease = document.lease(textOf(Msg::TagWriteTitle));
    if (!lease) return {nullptr, document.refusal()};
    std::shared_ptr<TagWrite> write(
        new TagWrite(document, std::move(*lease), console, std::move(sessions), settings));
    if (scope == Scope::Current) {
        write->takeCurrent();
        return {write, std::nullopt};
    }
    write->takeAll();
    console.showConsole();
    console.showChoices(choiceLines(settings));
    console.setProgressMaximum(static_cast<int>(write->jobs_.size() + write->quiet_.size()));
    console.setProgressPosition(0);
    // Armed before anything looks at a file: a stop asked for during the
    // checks of thousands of photographs writes none of them.
    console.setAbortHandler([weak = std::weak_ptr<TagWrite>(write)] {
        if (const auto w = weak.lock()) w->abort();
    });
    return {write, std::nullopt};
}

Sidecars TagWrite::sidecarsFor(const DataTable& table, std::size_t row) const {
    if (settings_.rawOnly && !isRawPhoto(table.text(row, FieldId::FileName))) return Sidecars::None;
    return settings_.sidecars;
}

void TagWrite::addQuiet(std::string line) { quiet_.push_back(std::move(line)); }

void TagWrite::takeAll() {
    const DataTable& table = document_.table();
    const ProgramState& state = document_.state();
    // Why each photograph is placed or not, told once for the whole table.
    std::vector<PhotoPlacement> each;
    summarisePlacements(table, document_.params(), &each);
    // Every job is made here, on the table's thread; the batch only reads
    // the jobs, never the table.
    for (const PhotoPlacement& photo : each) {
        const std::size_t row = photo.row;
        const bool placed = writable(table, row, settings_.content);
        // Kept is what would have been written or cleared: an unplaced
        // photograph that is left alone anyway is told by why it is unplaced.
        const bool keep = (placed || settings_.clearUnplaced) && settings_.keepExisting && carriesPosition(table, row);
        TagJob job = placed ? TagWriter::job(table, row, sidecarsFor(table, row), settings_.content)
                            : TagWriter::clearJob(table, row, sidecarsFor(table, row));
        if (!placed) ++notPlaced_;
        if (keep) {
            const std::string line = TagWriter::failureLine(job.fileName, textOf(Msg::AlreadyHasPosition));
            keptLines_.push_back(line);
            addQuiet(line);
            continue;
        }
        const std::string why = placed ? std::string() : TagWriter::failureLine(job.fileName, unplacedReason(photo, state));
        if (!placed && !settings_.clearUnplaced) {
            addQuiet(why);
            continue;
        }
        if (placed && settings_.writeZones) TagWriter::addZone(job, table, row);
        quietEnd_.push_back(quiet_.size());
        jobs_.push_back(std::move(job));
        rows_.push_back(row);
        leads_.push_back(why);
    }
}

void TagWrite::takeCurrent() {
    const DataTable& table = document_.table();
    const std::size_t row = table.recNo();
    single_ = true;
    // One photograph does not wait for another write in its folder.
    batch_.setWaitForFolders(false);
    TagJob job = TagWriter::job(table, row, sidecarsFor(table, row), settings_.content);
    if (settings_.keepExisting && carriesPosition(table, row)) {
        keptLines_.push_back(TagWriter::failureLine(job.fileName, textOf(Msg::AlreadyHasPosition)));
        return;
    }
    if (settings_.writeZones) TagWriter::addZone(job, table, row);
    jobs_.push_back(std::move(job));
    rows_.push_back(row);
    leads_.emplace_back();
    quietEnd_.push_back(0);
}

void TagWrite::run() {
    Report report(*this);
    outcome_ = batch_.run(jobs_, report);
}

void TagWrite::abort() { batch_.abort(); }

void TagWrite::disarm() {
    std::call_once(disarmed_, [this] {
        if (!single_) console_.setAbortHandler({});
    });
}

TagWrite::Outcome TagWrite::finish() {
    disarm();
    Outcome batch;
    batch.notPlaced = notPlaced_;
    batch.sidecars = settings_.sidecars != Sidecars::None && !settings_.rawOnly;
    batch.mixed = settings_.sidecars != Sidecars::None && settings_.rawOnly;
    batch.single = single_;
    batch.kept = static_cast<int>(keptLines_.size());
    batch.keptLines = keptLines_;
    if (!outcome_ || !lease_) {
        lease_.reset();
        return batch;
    }
    TagBatch::Outcome& out = *outcome_;
    batch.written = out.written + out.sidecarsWritten;
    batch.sidecarsWritten = out.sidecarsWritten;
    batch.cleared = out.cleared;
    batch.attempted = out.attempted;
    batch.failures = out.failures;
    batch.untried = out.untried;
    batch.notTried = static_cast<int>(out.untried.size());
    batch.aborted = out.aborted;
    const bool complete = batch.notTried == 0 && !batch.aborted;
    // The cursor stops where the batch did, or on the last row.
    std::optional<std::size_t> cursor;
    if (single_ && !rows_.empty()) cursor = rows_.front();
    else if (!complete && out.lastReported) cursor = rows_[*out.lastReported];
    document_.applyRewrites(*lease_, out.rewrites, cursor);
    lease_.reset();
    if (single_) return batch;
    // Whatever the batch did not reach of the photographs that are no job is
    // named all the same; the summary comes last, after every name.
    for (; quietShown_ < quiet_.size(); ++quietShown_) {
        if (complete) console_.stepProgress();
        console_.appendInfo({quiet_[quietShown_]});
    }
    std::vector<std::string> named = batch.failures;
    named.insert(named.end(), batch.untried.begin(), batch.untried.end());
    if (!named.empty()) console_.appendInfo(named);
    console_.appendInfo({batch.summary()});
    if (!batch.failures.empty()) console_.replaceErrors(batch.failures);
    return batch;
}

std::optional<TagWrite::Outcome> TagWrite::writeInline(Document& document, ConsoleView& console,
                                                       std::shared_ptr<SessionFactory> sessions, Scope scope,
                                                       Settings settings, std::optional<std::string>* refusal) {
    const Begun begun = begin(document, console, std::move(sessions), scope, settings);
    if (refusal) *refusal = begun.refusal;
    if (!begun.write) return std::nullopt;
    begun.write->run();
    return begun.write->finish();
}

}  // namespace geovanta

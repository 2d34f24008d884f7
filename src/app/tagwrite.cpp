#include "app/tagwrite.h"

#include "table/datatable.h"
#include "table/messages.h"
#include "table/position.h"

namespace geovanta {

// The batch's reports as the console shows them, on the batch's thread.
class TagWrite::Report : public TagBatchObserver {
public:
    explicit Report(const TagWrite& write) : w_(write) {}

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
        // Photographs without a position keep their place in the pane,
        // with an empty entry each.
        for (int i = 0; i < w_.unplacedBefore_[job]; ++i) {
            console.stepProgress();
            if (!afterAbort) console.appendInfo({});
        }
        console.stepProgress();
        // What came after the abort is not shown: the person asked to stop.
        if (!afterAbort) console.appendInfo(result.outputLines);
        console.replaceErrors(result.errorLines);
    }
    void notice(const std::string& line) override { w_.console_.notice(line); }

private:
    const TagWrite& w_;
};

std::string TagWrite::Outcome::summary() const {
    std::string text = textOf(sidecars ? Msg::SidecarSummary : Msg::TagSummary, {written, notPlaced, failures.size()});
    if (notTried > 0) text += textOf(aborted ? Msg::TagSummaryNotTriedAfterAbort : Msg::TagSummaryNotTried, {notTried});
    return text;
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
        if (table.eof() || row >= table.rowCount() || !table.isPhoto(row) || !hasPosition(table, row)) return {};
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
    console.setProgressMaximum(static_cast<int>(write->jobs_.size()) + write->notPlaced_);
    console.setProgressPosition(0);
    // Armed before anything looks at a file: a stop asked for during the
    // checks of thousands of photographs writes none of them.
    console.setAbortHandler([weak = std::weak_ptr<TagWrite>(write)] {
        if (const auto w = weak.lock()) w->abort();
    });
    return {write, std::nullopt};
}

void TagWrite::takeAll() {
    const DataTable& table = document_.table();
    // Every job is made here, on the table's thread; the batch only reads
    // the jobs, never the table.
    int unplaced = 0;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        if (!table.isPhoto(row)) continue;
        if (!hasPosition(table, row)) {
            ++unplaced;
            ++notPlaced_;
            continue;
        }
        jobs_.push_back(TagWriter::job(table, row, settings_.sidecars));
        if (settings_.writeZones) TagWriter::addZone(jobs_.back(), table, row);
        rows_.push_back(row);
        unplacedBefore_.push_back(unplaced);
        unplaced = 0;
    }
    unplacedAfter_ = unplaced;
}

bool TagWrite::takeCurrent() {
    const DataTable& table = document_.table();
    const std::size_t row = table.recNo();
    single_ = true;
    // One photograph does not wait for another write in its folder.
    batch_.setWaitForFolders(false);
    jobs_.push_back(TagWriter::job(table, row, settings_.sidecars));
    if (settings_.writeZones) TagWriter::addZone(jobs_.back(), table, row);
    rows_.push_back(row);
    unplacedBefore_.push_back(0);
    return true;
}

void TagWrite::run() {
    Report report(*this);
    outcome_ = batch_.run(std::move(jobs_), report);
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
    batch.sidecars = settings_.sidecars != Sidecars::None;
    batch.single = single_;
    if (!outcome_ || !lease_) {
        lease_.reset();
        return batch;
    }
    TagBatch::Outcome& out = *outcome_;
    batch.written = out.written;
    batch.attempted = out.attempted;
    batch.failures = out.failures;
    batch.untried = out.untried;
    batch.notTried = static_cast<int>(out.untried.size());
    batch.aborted = out.aborted;
    const bool complete = batch.notTried == 0 && !batch.aborted;
    // The cursor stops where the batch did, or on the last row.
    std::optional<std::size_t> cursor;
    if (single_) cursor = rows_.front();
    else if (!complete && out.lastReported) cursor = rows_[*out.lastReported];
    document_.applyRewrites(*lease_, out.rewrites, cursor);
    lease_.reset();
    if (single_) return batch;
    if (complete) {
        for (int i = 0; i < unplacedAfter_; ++i) {
            console_.stepProgress();
            console_.appendInfo({});
        }
    }
    std::vector<std::string> summary{batch.summary()};
    summary.insert(summary.end(), batch.failures.begin(), batch.failures.end());
    summary.insert(summary.end(), batch.untried.begin(), batch.untried.end());
    console_.appendInfo(std::move(summary));
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

#include "app/commands/tagcommands.h"

#include "app/commands/dialogs.h"
#include "app/document.h"
#include "app/settings.h"
#include "table/datatable.h"
#include "table/messages.h"
#include "table/position.h"

namespace geovanta {
namespace {

// Shown in the error box at most; the console holds them all.
constexpr std::size_t kFailuresInBox = 10;

}  // namespace

// The batch's reports as the console shows them, on the batch's thread.
class TagCommands::Report : public TagBatchObserver {
public:
    explicit Report(const TagCommands& commands) : c_(commands) {}

    void photoDone(std::size_t job, const TagWriter::Result& result, bool afterAbort) override {
        ConsoleView& console = c_.console_;
        if (c_.single_) {
            std::vector<std::string> lines = result.notes;
            lines.insert(lines.end(), result.outputLines.begin(), result.outputLines.end());
            console.replaceInfo(std::move(lines));
            console.replaceErrors(result.errorLines);
            return;
        }
        for (const std::string& note : result.notes) console.notice(note);
        // Photographs without a position keep their place in the pane,
        // with an empty entry each.
        for (int i = 0; i < c_.unplacedBefore_[job]; ++i) {
            console.stepProgress();
            if (!afterAbort) console.appendInfo({});
        }
        console.stepProgress();
        // What came after the abort is not shown: the user asked to stop.
        if (!afterAbort) console.appendInfo(result.outputLines);
        console.replaceErrors(result.errorLines);
    }
    void notice(const std::string& line) override { c_.console_.notice(line); }

private:
    const TagCommands& c_;
};

TagCommands::TagCommands(DataTable& table, ConsoleView& console, TagWriter& writer, TagBatch::Settings settings)
    : table_(table), console_(console), writer_(writer), settings_(settings) {}

TagCommands::~TagCommands() = default;

void chooseSidecars(Document& document, Dialogs& dialogs, bool on) {
    document.state().writeSidecars = on;
    if (const auto error = document.settings().writeInteger(SettingsFile::kWriteSidecarsKey, on ? 1 : 0))
        dialogs.showMessage(MessageKind::Failure, failureText(*error));
}

Sidecars sidecarsOf(const Document& document) {
    const ProgramState& state = document.state();
    if (!state.writeSidecars) return Sidecars::None;
    return state.sidecarFullName ? Sidecars::FullName : Sidecars::BaseName;
}

std::string TagCommands::BatchOutcome::summary() const {
    std::string text = textOf(sidecars ? Msg::SidecarSummary : Msg::TagSummary, {written, notPlaced, failures.size()});
    if (notTried > 0) text += textOf(aborted ? Msg::TagSummaryNotTriedAfterAbort : Msg::TagSummaryNotTried, {notTried});
    return text;
}

void TagCommands::reset() {
    batch_ = std::make_unique<TagBatch>(writer_, settings_);
    jobs_.clear();
    rows_.clear();
    unplacedBefore_.clear();
    unplacedAfter_ = notPlaced_ = 0;
    single_ = false;
    outcome_.reset();
}

bool TagCommands::beginAll() {
    if (table_.isEmpty()) return false;
    reset();
    // Stores an edit in progress before its row is read; the cursor stays,
    // as the grid may be looked at while the batch runs.
    table_.moveTo(table_.recNo());
    // Every job is made here, on the table's thread; the batch only reads
    // the jobs, never the table.
    int unplaced = 0;
    for (std::size_t row = 0; row < table_.rowCount(); ++row) {
        if (!table_.isPhoto(row)) continue;
        if (!hasPosition(table_, row)) {
            ++unplaced;
            ++notPlaced_;
            continue;
        }
        jobs_.push_back(TagWriter::job(table_, row, sidecars_));
        rows_.push_back(row);
        unplacedBefore_.push_back(unplaced);
        unplaced = 0;
    }
    unplacedAfter_ = unplaced;
    console_.showConsole();
    console_.setProgressMaximum(static_cast<int>(jobs_.size()) + notPlaced_);
    console_.setProgressPosition(0);
    console_.setAbortHandler([this] { abort(); });
    return true;
}

bool TagCommands::beginCurrent() {
    if (table_.isEmpty() || table_.eof()) return false;
    const std::size_t row = table_.recNo();
    if (!table_.isPhoto(row) || !hasPosition(table_, row)) return false;
    reset();
    single_ = true;
    // One photograph does not wait for another write in its folder.
    batch_->setWaitForFolders(false);
    jobs_.push_back(TagWriter::job(table_, row, sidecars_));
    rows_.push_back(row);
    unplacedBefore_.push_back(0);
    return true;
}

void TagCommands::run() {
    Report report(*this);
    outcome_ = batch_->run(std::move(jobs_), report);
}

TagCommands::BatchOutcome TagCommands::finishAll() {
    console_.setAbortHandler({});
    BatchOutcome batch;
    batch.notPlaced = notPlaced_;
    batch.sidecars = sidecars_ != Sidecars::None;
    if (!outcome_) return batch;
    TagBatch::Outcome& out = *outcome_;
    out.rewrites.applyTo(table_);
    batch.written = out.written;
    batch.attempted = out.attempted;
    batch.failures = out.failures;
    batch.untried = out.untried;
    batch.notTried = static_cast<int>(out.untried.size());
    batch.aborted = out.aborted;
    const bool complete = batch.notTried == 0 && !batch.aborted;
    if (complete) {
        for (int i = 0; i < unplacedAfter_; ++i) {
            console_.stepProgress();
            console_.appendInfo({});
        }
        table_.last();
    } else if (out.lastReported && rows_[*out.lastReported] < table_.rowCount()) {
        table_.moveTo(rows_[*out.lastReported]);
    } else {
        table_.last();
    }
    std::vector<std::string> summary{batch.summary()};
    summary.insert(summary.end(), batch.failures.begin(), batch.failures.end());
    summary.insert(summary.end(), batch.untried.begin(), batch.untried.end());
    console_.appendInfo(std::move(summary));
    if (!batch.failures.empty()) console_.replaceErrors(batch.failures);
    return batch;
}

void TagCommands::finishAllPhotos(Dialogs& dialogs) {
    const BatchOutcome batch = finishAll();
    if (batch.failures.empty()) return;
    std::string text = batch.summary() + ":";
    for (std::size_t i = 0; i < batch.failures.size() && i < kFailuresInBox; ++i) text += "\n" + batch.failures[i];
    if (batch.failures.size() > kFailuresInBox) text += "\n...";
    dialogs.showMessage(MessageKind::Failure, failureText(text));
}

void TagCommands::finishCurrent(Dialogs& dialogs) {
    if (!outcome_) return;
    TagBatch::Outcome& out = *outcome_;
    out.rewrites.applyTo(table_);
    std::optional<std::string> failure;
    if (!out.failures.empty()) failure = out.failures.front();
    if (!out.untried.empty()) failure = out.untried.front();
    if (failure) {
        dialogs.showMessage(MessageKind::Failure, failureText(textOf(Msg::CannotWriteTagsOf, {*failure})));
        return;
    }
    dialogs.showMessage(MessageKind::Plain, textOf(Msg::CoordinatesWritten));
}

TagCommands::BatchOutcome TagCommands::writeAll() {
    if (!beginAll()) return {};
    run();
    return finishAll();
}

void TagCommands::writeAllPhotos(Dialogs& dialogs) {
    if (!beginAll()) return;
    run();
    finishAllPhotos(dialogs);
}

void TagCommands::writeCurrentPhoto(Dialogs& dialogs) {
    // Only a placed photograph can get here from the grid; anything else
    // writes nothing, so nothing is confirmed.
    if (!beginCurrent()) return;
    run();
    finishCurrent(dialogs);
}

}  // namespace geovanta

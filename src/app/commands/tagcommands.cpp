#include "app/commands/tagcommands.h"

#include <chrono>
#include <memory>
#include <set>

#include "app/commands/dialogs.h"
#include "output/filerewrites.h"
#include "output/folderlocks.h"
#include "output/photofile.h"
#include "output/ticker.h"
#include "output/tagwriterpool.h"
#include "table/datatable.h"
#include "table/displaysuspension.h"
#include "table/position.h"
#include "table/textcodec.h"

namespace geovanta {
namespace {

// Shown in the error box at most; the errors pane holds them all.
constexpr std::size_t kFailuresInBox = 10;
// How often a batch looks again at a folder another write holds.
constexpr std::chrono::milliseconds kLockRetry{200};

// One photograph row of a batch, in table order.
struct Slot {
    std::size_t row = 0;
    std::optional<TagJob> job;  // none: the photograph has no position
    bool done = false;
    TagWriter::Result result;
};

void noteRewrite(FileRewrites& rewrites, const TagJob& job, const TagWriter::Result& result) {
    if (job.stamp && result.written && !result.failure) rewrites.add(*job.stamp, *result.written);
}

// The file a job writes: two names of one file (a link and its target) are
// one file to ExifTool's temporary file.
const std::string& fileKey(const TagJob& job) { return job.resolved.empty() ? job.fileName : job.resolved; }

// Runs however the walk ends, so that the main window never stays disabled
// after an error.
struct ConsoleCloser {
    ConsoleView& console;
    ~ConsoleCloser() {
        console.setProgressPosition(0);
        console.closeConsole();
    }
};

}  // namespace

std::string TagCommands::BatchOutcome::summary() const {
    std::string text = "GPS tags: " + std::to_string(written) + " written, " + std::to_string(notPlaced) +
                       " not placed, " + std::to_string(failures.size()) + " failed";
    if (notTried > 0) text += ", " + std::to_string(notTried) + " not tried after the abort";
    return text;
}

TagCommands::PhotoOutcome TagCommands::SetGPS2EXIF(std::vector<std::string>& outputLines) {
    PhotoOutcome outcome;
    if (table_.isEmpty() || table_.eof()) return outcome;
    const std::size_t row = table_.recNo();
    if (!table_.isPhoto(row)) return outcome;
    if (!hasPosition(table_, row)) {
        console_.stepProgress();
        return outcome;
    }
    outcome.attempted = true;
    TagJob job = TagWriter::job(table_, row);
    const std::string folder = photoFolder(job.fileName, job.resolved);
    const FolderLocks locks({folder});
    if (locks.busyFolder() && !job.refusal) job.refusal = "another write of GPS tags is running in its folder";
    job.folderLocked = locks.holds(folder);
    TagWriter::Result result = writer_.write(job);
    FileRewrites rewrites;
    noteRewrite(rewrites, job, result);
    rewrites.applyTo(table_);
    outputLines = std::move(result.notes);
    outputLines.insert(outputLines.end(), result.outputLines.begin(), result.outputLines.end());
    outcome.failure = std::move(result.failure);
    console_.replaceErrors(result.errorLines);
    console_.processPendingEvents();
    outcome.goOn = !console_.abortRequested();
    console_.stepProgress();
    return outcome;
}

TagCommands::BatchOutcome TagCommands::writeAll() {
    BatchOutcome batch;
    if (table_.isEmpty()) return batch;
    table_.first();  // stores an edit in progress before its row is read

    // Every job is made here, on the table's thread; the writers only read
    // the jobs, never the table.
    std::vector<Slot> slots;
    std::vector<std::size_t> jobSlots;
    for (std::size_t row = 0; row < table_.rowCount(); ++row) {
        if (!table_.isPhoto(row)) continue;
        Slot& slot = slots.emplace_back();
        slot.row = row;
        if (hasPosition(table_, row)) {
            slot.job = TagWriter::job(table_, row);
            jobSlots.push_back(slots.size() - 1);
        } else {
            ++batch.notPlaced;
        }
    }

    console_.setProgressMaximum(static_cast<int>(slots.size()));
    console_.showConsole();
    console_.setProgressPosition(0);
    ConsoleCloser closer{console_};
    DisplaySuspension suspended(table_);

    std::vector<std::string> folders;  // one for each of jobSlots
    for (std::size_t s : jobSlots) folders.push_back(photoFolder(slots[s].job->fileName, slots[s].job->resolved));
    FolderLocks locks(folders);
    batch.aborted = !waitForFolders(locks);
    for (std::size_t i = 0; i < jobSlots.size(); ++i) slots[jobSlots[i]].job->folderLocked = locks.holds(folders[i]);

    std::unique_ptr<TagWriterPool> pool;
    if (!jobSlots.empty() && !batch.aborted)
        pool = std::make_unique<TagWriterPool>(writer_, TagWriterPool::writersFor(jobSlots.size()),
                                               [this] { console_.wake(); });
    std::size_t nextJob = 0;  // into jobSlots: the next to hand out
    std::size_t shown = 0;    // slots shown, in table order
    std::size_t lastRow = table_.rowCount() - 1;
    // Two rows of one file are never written at once: both ExifTools would
    // work on the same temporary file.
    std::multiset<std::string> inFlight;
    FileRewrites rewrites;

    auto show = [&](Slot& slot) {
        lastRow = slot.row;
        if (slot.job)
            for (const std::string& note : slot.result.notes) console_.notice(note);
        console_.stepProgress();
        if (!slot.job) {
            if (!batch.aborted) console_.appendInfo({});
            return;
        }
        ++batch.attempted;
        if (!batch.aborted) console_.appendInfo(slot.result.outputLines);
        console_.replaceErrors(slot.result.errorLines);
        if (slot.result.failure)
            batch.failures.push_back(*slot.result.failure);
        else
            ++batch.written;
    };

    for (;;) {
        if (pool) {
            for (TagWriterPool::Done& done : pool->takeDone()) {
                Slot& slot = slots[done.slot];
                inFlight.erase(inFlight.find(fileKey(*slot.job)));
                slot.result = std::move(done.result);
                slot.done = true;
                noteRewrite(rewrites, *slot.job, slot.result);
            }
            std::string reason;
            if (!batch.aborted && nextJob < jobSlots.size() && pool->pending() == 0 && pool->allRetired(reason)) {
                // No ExifTool is left to write them: each is reported.
                for (; nextJob < jobSlots.size(); ++nextJob) {
                    Slot& slot = slots[jobSlots[nextJob]];
                    slot.result.reason = reason;
                    slot.result.failure = TagWriter::failureLine(slot.job->fileName, reason);
                    slot.result.errorLines = {*slot.result.failure};
                    slot.done = true;
                }
            }
        }
        for (; shown < slots.size() && (!slots[shown].job || slots[shown].done); ++shown) show(slots[shown]);
        // A click that came while a photograph was written is seen before
        // that writer is handed the next one.
        if (!batch.aborted) {
            console_.processPendingEvents();
            batch.aborted = console_.abortRequested();
        }
        while (pool && !batch.aborted && nextJob < jobSlots.size()) {
            TagJob& job = *slots[jobSlots[nextJob]].job;
            if (inFlight.count(fileKey(job))) break;
            // Another row of the same file may have been written meanwhile.
            if (job.stamp) job.stamp = rewrites.current(*job.stamp);
            if (!pool->submit(jobSlots[nextJob], job)) break;
            inFlight.insert(fileKey(job));
            ++nextJob;
        }
        if (shown == slots.size()) break;
        if (batch.aborted && (!pool || pool->pending() == 0)) break;
        // The window repaints and takes clicks while the writers work; after
        // an abort it only repaints, so that no other command starts before
        // the photographs still being written are done.
        console_.waitForEvents(!batch.aborted);
        if (!batch.aborted) batch.aborted = console_.abortRequested();
    }
    pool.reset();
    rewrites.applyTo(table_);
    batch.notTried = static_cast<int>(jobSlots.size() - nextJob);
    if (batch.aborted || shown < slots.size())
        table_.moveTo(lastRow);
    else
        table_.last();
    if (!batch.failures.empty()) console_.replaceErrors(batch.failures);
    return batch;
}

bool TagCommands::waitForFolders(FolderLocks& locks) {
    if (!locks.busyFolder()) return true;
    const Ticker ticker(console_, kLockRetry);
    std::string told;
    for (const std::string* busy; (busy = locks.busyFolder());) {
        if (*busy != told) {
            told = *busy;
            console_.notice("another write of GPS tags is running in \"" + displayFileName(told) +
                            "\"; waiting for it to end");
        }
        console_.waitForEvents(true);
        if (console_.abortRequested()) return false;
        locks.retry();
    }
    return true;
}

void TagCommands::writeAllPhotos(Dialogs& dialogs) {
    const BatchOutcome batch = writeAll();
    if (batch.attempted == 0 && batch.notPlaced == 0) return;
    console_.appendInfo({batch.summary()});
    if (batch.failures.empty()) return;
    std::string text = batch.summary() + ":";
    for (std::size_t i = 0; i < batch.failures.size() && i < kFailuresInBox; ++i) text += "\n" + batch.failures[i];
    if (batch.failures.size() > kFailuresInBox) text += "\n...";
    dialogs.showMessage(MessageKind::Failure, failureText(text));
}

void TagCommands::writeCurrentPhoto(Dialogs& dialogs) {
    std::vector<std::string> lines;
    const PhotoOutcome photo = SetGPS2EXIF(lines);
    // Only a placed photograph can get here from the grid; anything else
    // wrote nothing, so nothing is confirmed.
    if (!photo.attempted) return;
    console_.replaceInfo(lines);
    if (photo.failure) {
        dialogs.showMessage(MessageKind::Failure, failureText("Cannot write the GPS tags of " + *photo.failure));
        return;
    }
    dialogs.showMessage(MessageKind::Plain, "Координаты записаны");
}

}  // namespace geovanta

#include "output/tagbatch.h"

#include <map>

#include "geo/greatcircle.h"
#include "output/folderlocks.h"
#include "output/photofile.h"
#include "output/tagreasons.h"
#include "output/tagwriterpool.h"
#include "table/messages.h"
#include "table/textcodec.h"

namespace geovanta {
namespace {

using Clock = std::chrono::steady_clock;

// How often a batch looks again at a folder another write holds.
constexpr std::chrono::milliseconds kLockRetry{200};

// The file a job writes, one key for every row that names it: its device
// and inode where known, else where its name leads. An XMP file goes by
// where its name leads: the raw file and the JPEG taken with it share one.
std::string fileKey(const TagJob& job) {
    if (!job.sidecar.empty()) return "x" + writtenPath(job);
    if (job.stamp && job.stamp->inode != 0)
        return "i" + std::to_string(job.stamp->device) + ":" + std::to_string(job.stamp->inode);
    return "p" + writtenPath(job);
}

// What a job's row gets when another row's write covered its file: the same
// outcome, and, for another name of the file, that name given the new file
// after the same checks a write makes.
TagWriter::Result sharedResult(const TagJob& job, const TagJob& writing, const TagWriter::Result& written) {
    TagWriter::Result result;
    result.ran = written.ran;
    result.outcome = written.outcome;
    if (written.failure) {
        result.reason = written.reason;
    } else if (job.sidecar.empty() && job.stamp && writtenPath(job) != writtenPath(writing)) {
        const PhotoFile file = checkPhotoFile(job.fileName, job.resolved, &*job.stamp);
        if (file.refusal)
            result.reason = *file.refusal;
        else if (auto error = relinkPhoto(writtenPath(writing), file.target))
            result.reason = relinkFailedReason(writing.fileName, *error);
    }
    if (result.reason.empty()) {
        result.written = written.written;
        result.outputLines = {job.sidecar.empty() ? sameFileNote(writing.fileName) : sameSidecarNote(writing.fileName)};
    } else {
        result.failure = TagWriter::failureLine(job.fileName, result.reason);
        result.errorLines = {*result.failure};
    }
    return result;
}

}  // namespace

// Rows that share one XMP file (a raw file and the JPEG taken with it) may
// write it only when they say the same: both placed within this of each
// other, or both to be cleared. Anything else, and neither is right for it.
constexpr double kSameSpotMetres = 1;

bool agree(const TagJob& a, const TagJob& b) {
    if (a.clear || b.clear) return a.clear && b.clear;
    return greatCircleMetres(a.lat, a.lon, b.lat, b.lon) <= kSameSpotMetres;
}

// The batch's jobs and what has become of each.
struct TagBatch::Ledger {
    explicit Ledger(std::vector<TagJob> all) : jobs(std::move(all)), results(jobs.size()), late(jobs.size()) {
        // A file named by several rows is written once, by the last of
        // them: it ends up as if each had been written in turn.
        std::map<std::string, std::size_t> last;
        for (std::size_t i = 0; i < jobs.size(); ++i)
            if (!jobs[i].refusal) last[fileKey(jobs[i])] = i;
        members.resize(jobs.size());
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            const std::size_t w = jobs[i].refusal ? i : last[fileKey(jobs[i])];
            members[w].push_back(i);
        }
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            if (members[i].empty()) continue;
            if (disagree(i))
                for (std::size_t m : members[i]) results[m] = conflict(m, i);
            else
                writes.push_back(i);
        }
    }

    // The rows of an XMP file that do not agree on what it should hold.
    bool disagree(std::size_t writer) const {
        const std::vector<std::size_t>& rows = members[writer];
        if (jobs[writer].sidecar.empty()) return false;
        for (std::size_t a = 0; a < rows.size(); ++a)
            for (std::size_t b = a + 1; b < rows.size(); ++b)
                if (!agree(jobs[rows[a]], jobs[rows[b]])) return true;
        return false;
    }
    // A row of such an XMP file, naming another of them.
    TagWriter::Result conflict(std::size_t row, std::size_t writer) const {
        const std::vector<std::size_t>& rows = members[writer];
        const std::size_t other = rows[0] == row ? rows[1] : rows[0];
        const std::string reason = textOf(Msg::SharedSidecarConflict, {displayFileName(writtenPath(jobs[row])),
                                                                       displayFileName(jobs[other].fileName)});
        return TagWriter::refused(jobs[row], reason);
    }

    // The result of the job that writes a file, for every row naming it;
    // the file counts once.
    void settle(std::size_t writer, TagWriter::Result result, bool afterAbort, Outcome& out) {
        const TagJob& job = jobs[writer];
        if (job.stamp && result.written && !result.failure) out.rewrites.add(*job.stamp, *result.written);
        if (!result.failure) {
            if (job.clear)
                out.cleared += result.changed ? 1 : 0;
            else
                ++(job.sidecar.empty() ? out.written : out.sidecarsWritten);
        }
        for (std::size_t m : members[writer]) {
            if (m != writer) results[m] = sharedResult(jobs[m], job, result);
            late[m] = afterAbort;
        }
        results[writer] = std::move(result);
    }

    std::vector<TagJob> jobs;
    std::vector<std::size_t> writes;                // the jobs handed to ExifTool, in order
    std::vector<std::vector<std::size_t>> members;  // of each writing job: every job of its file
    std::vector<std::optional<TagWriter::Result>> results;
    std::vector<bool> late;  // done after the abort
    std::size_t nextWrite = 0, shown = 0;
};

void TagBatch::report(Ledger& ledger, std::size_t i, Outcome& out, TagBatchObserver& observer) {
    const TagWriter::Result& result = *ledger.results[i];
    ++out.attempted;
    if (result.failure) out.failures.push_back(*result.failure);
    out.lastReported = i;
    observer.photoDone(i, result, ledger.late[i]);
}

void TagBatch::abort() {
    {
        std::lock_guard lock(mutex_);
        aborted_ = true;
        woken_ = true;
    }
    news_.notify_all();
}

bool TagBatch::abortRequested() {
    std::lock_guard lock(mutex_);
    return aborted_;
}

void TagBatch::wake() {
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
    }
    news_.notify_all();
}

void TagBatch::waitForNews(Clock::time_point until) {
    std::unique_lock lock(mutex_);
    news_.wait_until(lock, until, [this] { return woken_; });
    woken_ = false;
}

bool TagBatch::waitForFolders(FolderLocks& locks, TagBatchObserver& observer) {
    std::string told;
    for (const std::string* busy; (busy = locks.busyFolder());) {
        if (*busy != told) {
            told = *busy;
            observer.notice(waitingForFolderNotice(told));
        }
        waitForNews(Clock::now() + kLockRetry);
        if (abortRequested()) return false;
        locks.retry();
    }
    return !abortRequested();
}

TagBatch::Outcome TagBatch::run(std::vector<TagJob> jobs, TagBatchObserver& observer) {
    Outcome out;
    // The look at each file comes here, on the batch's thread, so that a
    // stop asked for during the looks at thousands of photographs is heeded
    // before the first one is written.
    for (TagJob& job : jobs) {
        if (abortRequested()) break;
        TagWriter::look(job);
    }
    std::vector<std::string> folders;
    for (const TagJob& job : jobs) folders.push_back(writtenFolder(job));
    FolderLocks locks(folders);  // held until the writers are done
    const bool go = settings_.waitForFolders ? waitForFolders(locks, observer) : !abortRequested();
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        jobs[i].folderLocked = locks.holds(folders[i]);
        if (locks.busyFolder() && !jobs[i].refusal) jobs[i].refusal = folderBusyReason();
    }
    Ledger ledger(std::move(jobs));
    std::optional<std::string> stop;
    if (go && !ledger.jobs.empty()) stop = write(ledger, out, observer);
    if (!go) out.aborted = true;
    // Whatever the walk in order did not reach: done after a photograph
    // that was not, or never handed over.
    for (std::size_t i = ledger.shown; i < ledger.jobs.size(); ++i) {
        if (ledger.results[i]) {
            report(ledger, i, out, observer);
            continue;
        }
        const std::string reason = out.aborted || !stop ? notTriedAfterAbortReason() : *stop;
        out.untried.push_back(TagWriter::failureLine(ledger.jobs[i].fileName, reason));
    }
    return out;
}

std::optional<std::string> TagBatch::write(Ledger& ledger, Outcome& out, TagBatchObserver& observer) {
    const CommandLimits limits{settings_.answerWithin, &giveUp_};
    const int writers = settings_.writers > 0 ? settings_.writers : TagWriterPool::writersFor(ledger.writes.size());
    TagWriterPool pool(writer_, writers, limits, [this] { wake(); });
    std::optional<Clock::time_point> abortedAt;
    std::optional<std::string> stop;
    for (;;) {
        // An abort that came while a photograph was written counts before its result.
        if (!abortedAt && abortRequested()) abortedAt = Clock::now();
        for (TagWriterPool::Done& done : pool.takeDone())
            ledger.settle(done.slot, std::move(done.result), abortedAt.has_value(), out);
        std::string reason;
        if (!abortedAt && !stop) stop = pool.stopReason();
        if (!abortedAt && !stop && ledger.nextWrite < ledger.writes.size() && pool.pending() == 0 &&
            pool.allRetired(reason)) {
            // No ExifTool is left to write them: each is reported.
            for (; ledger.nextWrite < ledger.writes.size(); ++ledger.nextWrite) {
                const std::size_t w = ledger.writes[ledger.nextWrite];
                ledger.settle(w, TagWriter::refused(ledger.jobs[w], reason), false, out);
            }
        }
        for (; ledger.shown < ledger.jobs.size() && ledger.results[ledger.shown]; ++ledger.shown)
            report(ledger, ledger.shown, out, observer);
        while (!abortedAt && !stop && ledger.nextWrite < ledger.writes.size()) {
            const std::size_t w = ledger.writes[ledger.nextWrite];
            if (!pool.submit(w, ledger.jobs[w])) break;
            ++ledger.nextWrite;
        }
        if (ledger.shown == ledger.jobs.size()) break;
        if ((abortedAt || stop) && pool.pending() == 0) break;
        const Clock::time_point now = Clock::now();
        Clock::time_point until = now + std::chrono::hours(1);
        if (abortedAt && !giveUp_) {
            // Past the grace, ExifTool is ended under the photographs still
            // in flight: it writes a new file and renames it over the old
            // one, so a photograph is whole either way.
            if (now >= *abortedAt + settings_.abortGrace) giveUp_ = true;
            else until = *abortedAt + settings_.abortGrace;
        }
        waitForNews(until);
    }
    // The ExifTools that are left end without the usual moment to do so.
    if (abortedAt) giveUp_ = true;
    out.aborted = abortedAt.has_value();
    return stop;
}

}  // namespace geovanta

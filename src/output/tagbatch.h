#pragma once
// A batch of photographs written into their GPS tags through ExifTool. It
// runs blocking on whatever thread calls run(), hands the photographs to a
// TagWriterPool, reports each one in the jobs' order, and can be aborted
// from any thread. The batch holds the lock of every folder it writes in,
// writes each file once however many rows name it (an XMP file shared by
// rows that do not agree on its position not at all), bounds every wait for
// ExifTool, and gives the photographs in flight a short grace after an abort
// before their ExifTool is ended.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "output/filerewrites.h"
#include "output/tagwriter.h"

namespace geovanta {

class FolderLocks;

// What a running batch tells. Called on the batch's thread, which need not
// be the one that shows it.
class TagBatchObserver {
public:
    virtual ~TagBatchObserver() = default;
    // A photograph is done, in the order of the jobs: written, or not
    // (`result.failure` says why), with what ExifTool printed for it.
    // `afterAbort`: it was still being written when the batch was aborted.
    virtual void photoDone(std::size_t job, const TagWriter::Result& result, bool afterAbort) = 0;
    // A remark of the batch's own, for at once: it waits for another
    // write's folder, it removed a leftover file.
    virtual void notice(const std::string& line) = 0;
};

class TagBatch {
public:
    struct Settings {
        // The longest wait for ExifTool's answer about one photograph.
        std::chrono::milliseconds answerWithin{std::chrono::seconds(60)};
        // How long the photographs in flight may still take after an abort.
        std::chrono::milliseconds abortGrace{std::chrono::seconds(2)};
        // False: a photograph whose folder another write holds is refused
        // at once rather than waited for.
        bool waitForFolders = true;
        // ExifTools at once; 0: as many as the batch's size pays for.
        int writers = 0;
    };

    struct Outcome {
        // Files a position was written into, each once however many rows
        // name it: photographs, and XMP files beside them.
        int written = 0;
        int sidecarsWritten = 0;
        int cleared = 0;  // files whose GPS record was taken out
        int attempted = 0;                  // photographs reported through photoDone()
        std::vector<std::string> failures;  // one line per photograph tried and not written
        std::vector<std::string> untried;   // one line per photograph not tried, with the reason
        bool aborted = false;
        std::optional<std::size_t> lastReported;  // the job reported last
        FileRewrites rewrites;                    // files ExifTool put new ones in place of
    };

    TagBatch(TagWriter& writer, Settings settings) : writer_(writer), settings_(settings) {}
    TagBatch(const TagBatch&) = delete;
    TagBatch& operator=(const TagBatch&) = delete;

    // Before run(): see Settings::waitForFolders.
    void setWaitForFolders(bool wait) { settings_.waitForFolders = wait; }
    // Writes the jobs, blocking; the batch runs once.
    Outcome run(std::vector<TagJob> jobs, TagBatchObserver& observer);
    // Starts nothing more; photographs in flight get the grace, then their
    // ExifTool is ended. Safe from any thread, before or during run().
    void abort();

private:
    struct Ledger;
    // Hands out and reports the jobs until all are done, the batch is
    // aborted or stopped; why it was stopped.
    std::optional<std::string> write(Ledger& ledger, Outcome& out, TagBatchObserver& observer);
    static void report(Ledger& ledger, std::size_t job, Outcome& out, TagBatchObserver& observer);
    // Waits, saying so, while another write holds one of the batch's
    // folders; false when aborted meanwhile.
    bool waitForFolders(FolderLocks& locks, TagBatchObserver& observer);
    // Waits until a writer has news, abort() is called, or `until`.
    void waitForNews(std::chrono::steady_clock::time_point until);
    void wake();
    bool abortRequested();

    TagWriter& writer_;
    Settings settings_;
    std::atomic<bool> giveUp_{false};  // the writers' ExifTools stop waiting
    std::mutex mutex_;
    std::condition_variable news_;
    bool woken_ = false;
    bool aborted_ = false;
};

}  // namespace geovanta

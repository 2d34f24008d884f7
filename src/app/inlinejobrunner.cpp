#include "app/inlinejobrunner.h"

#include "app/document.h"

namespace geovanta {

void InlineJobRunner::submit(std::unique_ptr<Job> job) {
    // A stop asked for during one job ends the ones after it at once too.
    progress_.setTotal(0);
    progress_.setDone(0);
    std::optional<Document::Lease> lease = document_.lease(job->title());
    // Run one after another on one thread, jobs find the table free; a
    // job handed over while the table is held otherwise is not run.
    if (!lease) return;
    job->start(document_);
    bool stopped = progress_.cancelled();
    if (!stopped) {
        job->work(lease->rows(), progress_);
        stopped = job->stoppedEarly();
    }
    lease->end();
    job->finish(document_, stopped);
}

}  // namespace geovanta

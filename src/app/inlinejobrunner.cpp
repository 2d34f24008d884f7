#include "app/inlinejobrunner.h"

#include "app/document.h"

namespace geovanta {

void InlineJobRunner::submit(std::unique_ptr<Job> job) {
    // A stop asked for during one job ends the ones after it at once too.
    progress_.setTotal(0);
    progress_.setDone(0);
    job->start(document_);
    if (!progress_.cancelled()) job->work(document_.table(), progress_);
    job->finish(document_, progress_.cancelled());
}

}  // namespace geovanta

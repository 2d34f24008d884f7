#pragma once
// Runs each job at once on the calling thread, on the document's own table:
// for geovanta-cli, which has nothing else to do meanwhile, and for tests.
// Nothing is copied, so a big file costs its rows once.

#include "app/job.h"

namespace geovanta {

class InlineJobRunner : public JobRunner {
public:
    explicit InlineJobRunner(Document& document) : document_(document) {}
    void submit(std::unique_ptr<Job> job) override;
    // The progress of the job under way, for a signal to stop it.
    Progress& progress() { return progress_; }

private:
    Document& document_;
    Progress progress_;
};

}  // namespace geovanta

#pragma once
// The binding pass over the whole document after its offsets or tolerance
// changed: on a big table it takes long enough to be worth a thread.

#include <functional>

#include "app/job.h"
#include "binding/calcpositions.h"

namespace geovanta {

class PassJob : public Job {
public:
    // Called on the document's thread once the pass's table is in place.
    using Done = std::function<void(Document&)>;
    explicit PassJob(Done done = {}) : done_(std::move(done)) {}

    std::string title() const override;
    bool cancellable() const override { return false; }
    void start(Document& document) override;
    void work(DataTable& table, Progress& progress) override;
    bool stoppedEarly() const override { return false; }
    void finish(Document& document, bool cancelled) override;

private:
    Done done_;
    BindingParams params_;
};

}  // namespace geovanta

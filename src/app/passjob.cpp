#include "app/passjob.h"

#include "app/document.h"
#include "table/messages.h"

namespace geovanta {

std::string PassJob::title() const { return textOf(Msg::PassTitle); }

// The offsets in force when the pass starts, which a job queued before it
// cannot change any more.
void PassJob::start(Document& document) { params_ = document.params(); }

void PassJob::work(DataTable& table, Progress& progress) {
    (void)progress;
    CalcPositions(table, params_);
}

void PassJob::finish(Document& document, bool cancelled) {
    if (!cancelled && done_) done_(document);
}

}  // namespace geovanta

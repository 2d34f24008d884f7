#pragma once
// Long work — reading a file or a folder, the binding pass over a big table —
// done apart from the thread that shows the document, so that the window
// never stops answering. A job takes what it needs from the document on the
// document's thread, works on a table of its own on any thread, and brings
// its result back on the document's thread.

#include <memory>
#include <string>

#include "table/progress.h"

namespace geovanta {

class DataTable;
class Document;

// What the counts of a job's progress are.
enum class ProgressUnit { None, Photos, Bytes };

class Job {
public:
    virtual ~Job() = default;

    // What the window says while the job runs ("walk.plt").
    virtual std::string title() const = 0;
    virtual ProgressUnit unit() const { return ProgressUnit::None; }
    // False for work whose end must be waited for: a stopped pass would
    // leave positions that the offsets in force do not give.
    virtual bool cancellable() const { return true; }

    // On the document's thread, right before the work.
    virtual void start(Document& document) { (void)document; }
    // On any thread; an exception ends the job as a cancel would, and the
    // runner reports it. `table` is the job's alone: either the document's own
    // table, when jobs run one after the other on one thread, or a copy of
    // it that takes the document table's place when the work was not
    // cancelled. The work looks at `progress` now and then and stops early
    // when it asks to.
    virtual void work(DataTable& table, Progress& progress) = 0;
    // After the work: whether it stopped before its end because it was asked
    // to. A wish to stop that came once the work was done changes nothing:
    // the finished result is kept.
    virtual bool stoppedEarly() const = 0;
    // On the document's thread, after the work's table is in place. A
    // cancelled job's copy is thrown away, leaving the document as it was;
    // on the document's own table what was done before the stop stays.
    virtual void finish(Document& document, bool cancelled) = 0;
};

class JobRunner {
public:
    virtual ~JobRunner() = default;
    // Runs `job` after every job handed over before it.
    virtual void submit(std::unique_ptr<Job> job) = 0;
};

}  // namespace geovanta

#pragma once
// The window's runner of long work: one job at a time on a thread of its
// own, on a copy of the document's table that takes the table's place when
// the job ends, so that the grid and the map go on showing the table as it
// was meanwhile and a cancelled job leaves it untouched. Jobs handed over
// while one runs wait their turn.

#include <QObject>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "app/document.h"
#include "app/job.h"

namespace geovanta {

class DataTable;

class JobQueue : public QObject, public JobRunner {
    Q_OBJECT
public:
    explicit JobQueue(Document& document, QObject* parent = nullptr);
    // Stops the running job, drops the waiting ones and waits for its thread.
    ~JobQueue() override;

    void submit(std::unique_ptr<Job> job) override;

    // From the first job handed over until the last one has finished.
    bool busy() const { return busy_; }
    // The job under way and how far it has got; nullptr when idle.
    const Job* current() const { return running_.get(); }
    const Progress* progress() const { return progress_.get(); }
    // Asks the running job to stop (when it can be stopped) and drops the
    // jobs waiting behind it.
    void cancel();

signals:
    void busyChanged(bool busy);
    // A job has finished (also when cancelled): the document shows its result.
    void jobFinished();
    // A job's work ended with an error of the program's own, such as
    // running out of memory; the document is as it was before the job.
    void failed(const QString& message);

private:
    void startNext();
    void workDone();

    Document& document_;
    std::deque<std::unique_ptr<Job>> waiting_;
    std::unique_ptr<Job> running_;
    std::unique_ptr<Progress> progress_;
    std::unique_ptr<DataTable> working_;
    std::optional<Document::Lease> lease_;  // while a job runs
    int freeListener_ = 0;
    std::string error_;
    std::thread thread_;
    bool busy_ = false;
};

}  // namespace geovanta

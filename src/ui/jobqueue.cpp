#include "ui/jobqueue.h"

#include <exception>

#include "app/document.h"
#include "table/datatable.h"

namespace geovanta {

JobQueue::JobQueue(Document& document, QObject* parent) : QObject(parent), document_(document) {
    freeListener_ = document_.onFree([this] {
        if (!running_ && !waiting_.empty()) QMetaObject::invokeMethod(this, [this] { startNext(); }, Qt::QueuedConnection);
    });
}

JobQueue::~JobQueue() {
    document_.removeFreeListener(freeListener_);
    waiting_.clear();
    if (progress_) progress_->cancel();
    if (thread_.joinable()) thread_.join();
}

void JobQueue::submit(std::unique_ptr<Job> job) {
    waiting_.push_back(std::move(job));
    if (!running_) startNext();
}

void JobQueue::cancel() {
    waiting_.clear();
    if (running_ && running_->cancellable()) progress_->cancel();
}

void JobQueue::startNext() {
    if (waiting_.empty()) {
        if (busy_) {
            busy_ = false;
            emit busyChanged(false);
        }
        return;
    }
    // The tag write holds the table: the jobs wait until it is free again.
    lease_ = document_.lease(waiting_.front()->title());
    if (!lease_) return;
    running_ = std::move(waiting_.front());
    waiting_.pop_front();
    progress_ = std::make_unique<Progress>();
    error_.clear();
    running_->start(document_);
    if (!busy_) {
        busy_ = true;
        emit busyChanged(true);
    }
    thread_ = std::thread([this, job = running_.get(), progress = progress_.get()] {
        try {
            // Only rows are read here; the window's thread may meanwhile
            // move the cursor but changes no row while a job runs.
            working_ = document_.table().copyRows();
            job->work(*working_, *progress);
        } catch (const std::exception& e) {
            error_ = e.what();
        }
        QMetaObject::invokeMethod(this, [this] { workDone(); }, Qt::QueuedConnection);
    });
}

void JobQueue::workDone() {
    thread_.join();
    // A cancel that came after the work had ended changes nothing.
    const bool cancelled = !error_.empty() || running_->stoppedEarly();
    if (!cancelled) lease_->replaceRows(*working_);
    working_.reset();
    lease_.reset();
    // The job stays the running one while it finishes: a message box it
    // shows lets other commands hand over jobs, which must wait.
    running_->finish(document_, cancelled);
    if (!error_.empty()) emit failed(QString::fromStdString(error_));
    running_.reset();
    emit jobFinished();
    startNext();
}

}  // namespace geovanta

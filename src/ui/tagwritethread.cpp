#include "ui/tagwritethread.h"

#include <QMetaObject>
#include <QObject>

#include "app/tagwrite.h"

namespace geovanta {

void TagWriteThread::start(std::shared_ptr<TagWrite> write, std::function<void()> done) {
    write_ = write;
    thread_ = std::thread([this, write, done = std::move(done)] {
        write->run();
        // Posted events keep their order: this comes after every report the
        // write sent to the console.
        QMetaObject::invokeMethod(owner_, [this, done] {
            if (!running()) return;  // stopped meanwhile
            thread_.join();
            write_.reset();
            done();
        }, Qt::QueuedConnection);
    });
}

void TagWriteThread::abort() {
    if (write_) write_->abort();
}

void TagWriteThread::stop() {
    if (!running()) return;
    write_->abort();
    thread_.join();
    const std::shared_ptr<TagWrite> write = std::move(write_);
    write->finish();
}

}  // namespace geovanta

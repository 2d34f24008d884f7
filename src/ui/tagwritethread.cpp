#include "ui/tagwritethread.h"

#include <QMetaObject>
#include <QObject>

#include "app/commands/tagcommands.h"

namespace geovanta {

void TagWriteThread::start(std::shared_ptr<TagCommands> commands, std::function<void()> done) {
    commands_ = commands;
    thread_ = std::thread([this, commands, done = std::move(done)] {
        commands->run();
        // Posted events keep their order: this comes after every report the
        // write sent to the console.
        QMetaObject::invokeMethod(owner_, [this, done] {
            if (!running()) return;  // stopped meanwhile
            thread_.join();
            commands_.reset();
            done();
        }, Qt::QueuedConnection);
    });
}

void TagWriteThread::abort() {
    if (commands_) commands_->abort();
}

void TagWriteThread::stop() {
    if (!running()) return;
    commands_->abort();
    thread_.join();
    commands_.reset();
}

}  // namespace geovanta

#include "app/streamconsole.h"

#include "table/messages.h"

namespace geovanta {

void StreamConsole::setAbortHandler(std::function<void()> handler) {
    std::function<void()> now;
    {
        std::lock_guard lock(mutex_);
        abort_ = std::move(handler);
        if (requested_) now = abort_;
    }
    // A stop asked for before the batch began stops it as it begins.
    if (now) now();
}

void StreamConsole::requestAbort() {
    std::function<void()> handler;
    {
        std::lock_guard lock(mutex_);
        requested_ = true;
        handler = abort_;
    }
    // Outside the lock: the batch may end, and disarm this console, meanwhile.
    if (handler) handler();
}

void StreamConsole::setProgressMaximum(int maximum) {
    std::lock_guard lock(mutex_);
    maximum_ = maximum;
}

void StreamConsole::setProgressPosition(int position) {
    std::lock_guard lock(mutex_);
    position_ = position;
}

void StreamConsole::stepProgress() {
    std::lock_guard lock(mutex_);
    ++position_;
    out_ << prefix_ << textOf(Msg::WritingTagsProgress, {position_, maximum_}) << '\n';
    out_.flush();
}

void StreamConsole::notice(const std::string& line) {
    std::lock_guard lock(mutex_);
    out_ << prefix_ << line << '\n';
    out_.flush();
}

}  // namespace geovanta

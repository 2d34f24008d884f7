#include "output/streamconsole.h"

#include "table/messages.h"

namespace geovanta {

void StreamConsole::setAbortHandler(std::function<void()> handler) {
    std::lock_guard lock(mutex_);
    abort_ = std::move(handler);
}

void StreamConsole::requestAbort() {
    std::lock_guard lock(mutex_);
    if (abort_) abort_();
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

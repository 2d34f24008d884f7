#pragma once
// The tag writer's console for the command-line tool: progress as lines of
// text on a stream (standard error), no panes; aborted from another thread
// (the command-line tool's answer to a signal).

#include <atomic>
#include <ostream>
#include <string>

#include "output/consoleview.h"
#include "output/wakesignal.h"

namespace geovanta {

class StreamConsole : public ConsoleView {
public:
    StreamConsole(std::ostream& out, std::string prefix) : out_(out), prefix_(std::move(prefix)) {}

    void showConsole() override {}
    void closeConsole() override {}
    void setProgressMaximum(int maximum) override { maximum_ = maximum; }
    void setProgressPosition(int position) override { position_ = position; }
    // "<prefix>writing GPS tags: 3 of 10 photos"
    void stepProgress() override;
    void appendInfo(const std::vector<std::string>&) override {}
    void replaceInfo(const std::vector<std::string>&) override {}
    void replaceErrors(const std::vector<std::string>&) override {}
    // "<prefix><line>"
    void notice(const std::string& line) override;
    void processPendingEvents() override {}
    void waitForEvents(bool) override { wakeSignal_.wait(); }
    void wake() override { wakeSignal_.wake(); }
    bool abortRequested() const override { return abort_.load(); }
    // Safe from any thread: the batch sees it at its next look.
    void requestAbort() {
        abort_ = true;
        wakeSignal_.wake();
    }

private:
    std::ostream& out_;
    std::string prefix_;
    int maximum_ = 0;
    int position_ = 0;
    WakeSignal wakeSignal_;
    std::atomic<bool> abort_{false};
};

}  // namespace geovanta

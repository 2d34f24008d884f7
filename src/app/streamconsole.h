#pragma once
// The tag writer's console for the command-line tool: progress as lines of
// text on a stream (standard error), no panes; aborted from another thread
// (the command-line tool's answer to a signal).

#include <mutex>
#include <ostream>
#include <string>

#include "app/consoleview.h"

namespace geovanta {

class StreamConsole : public ConsoleView {
public:
    StreamConsole(std::ostream& out, std::string prefix) : out_(out), prefix_(std::move(prefix)) {}

    void showConsole() override {}
    void setAbortHandler(std::function<void()> handler) override;
    void setProgressMaximum(int maximum) override;
    void setProgressPosition(int position) override;
    // "<prefix>writing GPS tags: 3 of 10 photos"
    void stepProgress() override;
    void appendInfo(const std::vector<std::string>&) override {}
    void replaceInfo(const std::vector<std::string>&) override {}
    void replaceErrors(const std::vector<std::string>&) override {}
    // "<prefix><line>"
    void notice(const std::string& line) override;
    // Safe from any thread: aborts the batch that runs, and any batch begun
    // on this console later.
    void requestAbort();

private:
    std::ostream& out_;
    std::string prefix_;
    std::mutex mutex_;
    int maximum_ = 0;
    int position_ = 0;
    std::function<void()> abort_;
    bool requested_ = false;
};

}  // namespace geovanta

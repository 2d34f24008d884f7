#pragma once
// A console that records what the tag writer shows and lets a test press the
// abort button. The batch may report from another thread, so everything is
// locked; a press while no batch runs waits for the next, as a click queued
// in a window would.

#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/consoleview.h"

namespace geovanta::test {

class FakeConsole : public ConsoleView {
public:
    bool shown = false;
    int showCount = 0;
    int maximum = 100;
    int position = 0;
    int steps = 0;
    std::vector<std::vector<std::string>> infoEntries;  // the information pane, one entry per append
    std::vector<std::string> errors;                    // the errors pane
    std::vector<std::string> notices;
    std::vector<std::string> choices;                   // the first lines of the last batch
    std::function<void(const std::string&)> onNotice;  // called after a notice is kept

    void pressAbort() {
        std::function<void()> abort;
        {
            std::lock_guard lock(mutex_);
            if (!abort_) {
                pressed_ = true;
                return;
            }
            abort = abort_;
        }
        abort();
    }
    // True while a batch can be aborted.
    bool abortable() {
        std::lock_guard lock(mutex_);
        return bool(abort_);
    }

    void showConsole() override {
        std::lock_guard lock(mutex_);
        shown = true;
        ++showCount;
        infoEntries.clear();
        errors.clear();
    }
    void setAbortHandler(std::function<void()> handler) override {
        bool pressed;
        {
            std::lock_guard lock(mutex_);
            abort_ = std::move(handler);
            pressed = pressed_ && abort_;
            if (pressed) pressed_ = false;
        }
        if (pressed) pressAbort();
    }
    void setProgressMaximum(int m) override {
        std::lock_guard lock(mutex_);
        maximum = m;
    }
    void setProgressPosition(int p) override {
        std::lock_guard lock(mutex_);
        position = p;
    }
    void stepProgress() override {
        std::lock_guard lock(mutex_);
        ++position;
        ++steps;
    }
    void appendInfo(const std::vector<std::string>& lines) override {
        std::lock_guard lock(mutex_);
        infoEntries.push_back(lines);
    }
    void replaceInfo(const std::vector<std::string>& lines) override {
        std::lock_guard lock(mutex_);
        infoEntries.assign(1, lines);
    }
    void replaceErrors(const std::vector<std::string>& lines) override {
        std::lock_guard lock(mutex_);
        errors = lines;
    }
    void showChoices(const std::vector<std::string>& lines) override {
        std::lock_guard lock(mutex_);
        choices = lines;
    }
    void notice(const std::string& line) override {
        {
            std::lock_guard lock(mutex_);
            notices.push_back(line);
        }
        if (onNotice) onNotice(line);
    }

private:
    std::mutex mutex_;
    std::function<void()> abort_;
    bool pressed_ = false;
};

}  // namespace geovanta::test

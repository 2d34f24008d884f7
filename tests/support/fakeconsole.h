#pragma once
// A console that records what the tag writer shows and lets a test press the
// abort button: the press is queued and taken up at the next handling of
// events, as with a real window. The press and wake() may come from a
// writer's thread; everything else happens on the batch's thread.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "output/consoleview.h"

namespace geovanta::test {

class FakeConsole : public ConsoleView {
public:
    bool mainWindowEnabled = true;
    bool shown = false;
    int showCount = 0;
    int closeCount = 0;
    int maximum = 100;
    int position = 0;
    int steps = 0;
    int eventRounds = 0;
    std::vector<std::vector<std::string>> infoEntries;  // Memo1, one entry per append
    std::vector<std::string> errors;                    // Memo2
    std::vector<std::string> notices;
    std::function<void(const std::string&)> onNotice;  // called after a notice is kept

    // Like a click: it also ends a wait for events.
    void pressAbort() {
        {
            std::lock_guard lock(mutex_);
            abortPending_ = true;
        }
        changed_.notify_all();
    }

    void showConsole() override {
        shown = true;
        ++showCount;
        mainWindowEnabled = false;
    }
    void closeConsole() override {
        shown = false;
        ++closeCount;
        mainWindowEnabled = true;
    }
    void setProgressMaximum(int m) override { maximum = m; }
    void setProgressPosition(int p) override { position = p; }
    void stepProgress() override {
        ++position;
        ++steps;
    }
    void appendInfo(const std::vector<std::string>& lines) override { infoEntries.push_back(lines); }
    void replaceInfo(const std::vector<std::string>& lines) override { infoEntries.assign(1, lines); }
    void replaceErrors(const std::vector<std::string>& lines) override { errors = lines; }
    void notice(const std::string& line) override {
        notices.push_back(line);
        if (onNotice) onNotice(line);
    }
    void processPendingEvents() override {
        ++eventRounds;
        bool press;
        {
            std::lock_guard lock(mutex_);
            press = abortPending_;
            abortPending_ = false;
        }
        if (press && shown) closeConsole();
    }
    void waitForEvents(bool userInput) override {
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return woken_ || (userInput && abortPending_); });
            woken_ = false;
        }
        if (userInput) processPendingEvents();
    }
    void wake() override {
        {
            std::lock_guard lock(mutex_);
            woken_ = true;
        }
        changed_.notify_all();
    }
    bool abortRequested() const override { return mainWindowEnabled; }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool abortPending_ = false;
    bool woken_ = false;
};

}  // namespace geovanta::test

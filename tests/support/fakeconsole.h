#pragma once
// A console that records what the tag writer shows and lets a test press the
// abort button: the press is queued and taken up at the next processing of
// pending events, as with a real window.

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

    void pressAbort() { abortPending_ = true; }

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
    void processPendingEvents() override {
        ++eventRounds;
        if (abortPending_ && shown) closeConsole();
        abortPending_ = false;
    }
    bool abortRequested() const override { return mainWindowEnabled; }

private:
    bool abortPending_ = false;
};

}  // namespace geovanta::test

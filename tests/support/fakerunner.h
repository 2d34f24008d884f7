#pragma once
// A scripted command runner: records every call and answers from a queue
// (a successful run with one line of output once the queue is empty).

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "output/commandrunner.h"

namespace geovanta::test {

class FakeRunner : public CommandRunner {
public:
    struct Call {
        std::string program;
        std::vector<std::string> args;
    };
    std::vector<Call> calls;
    std::deque<CommandResult> answers;
    std::function<void(int call)> onRun;  // called with the 1-based call number

    CommandResult run(const std::string& program, const std::vector<std::string>& args) override {
        calls.push_back({program, args});
        if (onRun) onRun(static_cast<int>(calls.size()));
        if (answers.empty()) return success({"    1 image files updated"});
        CommandResult r = std::move(answers.front());
        answers.pop_front();
        return r;
    }

    static CommandResult success(std::vector<std::string> out) {
        CommandResult r;
        r.outcome = CommandResult::Outcome::Exited;
        r.outputLines = std::move(out);
        return r;
    }
    static CommandResult exited(int code, std::vector<std::string> err) {
        CommandResult r;
        r.outcome = CommandResult::Outcome::Exited;
        r.exitCode = code;
        r.errorLines = std::move(err);
        return r;
    }
    static CommandResult notStarted(std::string why) {
        CommandResult r;
        r.outcome = CommandResult::Outcome::NotStarted;
        r.startError = std::move(why);
        return r;
    }
};

}  // namespace geovanta::test

#pragma once
// Scripted ExifTool sessions: every command is recorded and answered from a
// queue (a successful run with one line of output once the queue is empty).
// Commands come from the writers' threads, so everything here is locked.

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "output/toolsession.h"

namespace geovanta::test {

class FakeSessions : public SessionFactory {
public:
    struct Call {
        int session = 0;  // 1-based number of the session that ran it
        std::vector<std::string> args;
    };

    explicit FakeSessions(std::string program = "/opt/geo/exiftool") : program_(std::move(program)) {}

    // Answers in the order the commands come; an answer other than Exited
    // ends its session, as ExifTool ending would.
    void answer(CommandResult result) {
        std::lock_guard lock(mutex_);
        answers_.push_back(std::move(result));
    }
    // The next sessions opened fail to start with this reason, one each.
    void failStart(std::string reason) {
        std::lock_guard lock(mutex_);
        startFailures_.push_back(std::move(reason));
    }
    // Called on the writer's thread with the 1-based command number, before
    // the command is answered.
    std::function<void(int call)> onRun;
    // Answers a command when the queue is empty, instead of the usual success.
    std::function<CommandResult(const std::vector<std::string>& args)> reply;

    std::vector<Call> calls() const {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    int opened() const {
        std::lock_guard lock(mutex_);
        return opened_;
    }

    std::unique_ptr<ToolSession> open() override {
        std::lock_guard lock(mutex_);
        ++opened_;
        std::string failure;
        if (!startFailures_.empty()) {
            failure = startFailures_.front();
            startFailures_.pop_front();
        }
        return std::make_unique<Session>(*this, opened_, std::move(failure));
    }
    const std::string& program() const override { return program_; }

    static CommandResult success(std::vector<std::string> out) {
        CommandResult r;
        r.outcome = CommandResult::Outcome::Exited;
        r.outputLines = std::move(out);
        return r;
    }
    static CommandResult exited(int code, std::vector<std::string> err) {
        CommandResult r = success({});
        r.exitCode = code;
        r.errorLines = std::move(err);
        return r;
    }
    static CommandResult ended(CommandResult::Outcome how, std::vector<std::string> err = {}) {
        CommandResult r;
        r.outcome = how;
        r.errorLines = std::move(err);
        return r;
    }

private:
    class Session : public ToolSession {
    public:
        Session(FakeSessions& owner, int number, std::string startFailure)
            : owner_(owner), number_(number), startFailure_(std::move(startFailure)), alive_(startFailure_.empty()) {}
        CommandResult execute(const std::vector<std::string>& args, const CommandLimits&) override {
            if (!startFailure_.empty()) {
                CommandResult r;
                r.startError = startFailure_;
                return r;
            }
            int call;
            {
                std::lock_guard lock(owner_.mutex_);
                owner_.calls_.push_back({number_, args});
                call = static_cast<int>(owner_.calls_.size());
            }
            if (owner_.onRun) owner_.onRun(call);
            std::lock_guard lock(owner_.mutex_);
            CommandResult r = owner_.reply ? owner_.reply(args) : success({"    1 image files updated"});
            if (!owner_.answers_.empty()) {
                r = std::move(owner_.answers_.front());
                owner_.answers_.pop_front();
            }
            if (r.outcome != CommandResult::Outcome::Exited) alive_ = false;
            return r;
        }
        bool alive() const override { return alive_; }

    private:
        FakeSessions& owner_;
        int number_;
        std::string startFailure_;
        bool alive_;
    };

    std::string program_;
    mutable std::mutex mutex_;
    std::deque<CommandResult> answers_;
    std::deque<std::string> startFailures_;
    std::vector<Call> calls_;
    int opened_ = 0;
};

}  // namespace geovanta::test

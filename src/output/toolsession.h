#pragma once
// A program kept running for a series of commands, so that each command costs
// the program's own work and not a start of it. A session belongs to one
// thread; a batch that writes on several threads opens one per thread.

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "output/commandresult.h"

namespace geovanta {

// What bounds the wait for one command's answer.
struct CommandLimits {
    std::chrono::milliseconds answerWithin{60000};
    // Set from another thread: stop waiting now. The session notices it
    // within a fraction of a second; the flag must outlive the session.
    const std::atomic<bool>* giveUp = nullptr;

    bool givingUp() const { return giveUp && giveUp->load(); }
};

class ToolSession {
public:
    virtual ~ToolSession() = default;
    // Runs one command with `args` and waits for its end. The outcome is
    // NotStarted when the program could not be started, Crashed or Stopped
    // when it ended during the command, NoAnswer or Cancelled when it was
    // given up (and ended) under `limits`, Exited with the command's status
    // otherwise.
    virtual CommandResult execute(const std::vector<std::string>& args, const CommandLimits& limits) = 0;
    // Waits until the program is ready to take a command at once; a program
    // that is not reports why, as a command would.
    virtual CommandResult ready(const CommandLimits&) {
        CommandResult r;
        r.outcome = CommandResult::Outcome::Exited;
        return r;
    }
    // False once the program has ended; such a session runs nothing more.
    virtual bool alive() const = 0;
};

class SessionFactory {
public:
    virtual ~SessionFactory() = default;
    // Starts the program for a new session; a program that cannot start
    // gives a session whose first command reports why.
    virtual std::unique_ptr<ToolSession> open() = 0;
    // The program's path as messages name it.
    virtual const std::string& program() const = 0;
};

}  // namespace geovanta

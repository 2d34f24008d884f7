#pragma once
// A program kept running for a series of commands, so that each command costs
// the program's own work and not a start of it. A session belongs to one
// thread; a batch that writes on several threads opens one per thread.

#include <memory>
#include <string>
#include <vector>

#include "output/commandrunner.h"

namespace geovanta {

class ToolSession {
public:
    virtual ~ToolSession() = default;
    // Runs one command with `args` and waits for its end. The outcome is
    // NotStarted when the program could not be started, Crashed or Stopped
    // when it ended during the command, Exited with the command's status
    // otherwise.
    virtual CommandResult execute(const std::vector<std::string>& args) = 0;
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

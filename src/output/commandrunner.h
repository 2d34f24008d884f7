#pragma once
// Running an outside program to its end and collecting what it wrote. The tag
// writer talks to this interface so that it can be tried with a scripted
// runner as well as with real child processes.

#include <string>
#include <vector>

namespace geovanta {

struct CommandResult {
    enum class Outcome {
        Exited,      // ran and ended by itself; exitCode holds its status
        NotStarted,  // missing, not executable, or the system refused to start it
        Crashed,     // ended by a signal or an abnormal termination
    };
    Outcome outcome = Outcome::NotStarted;
    int exitCode = 0;
    std::vector<std::string> outputLines;  // standard output, bytes unchanged
    std::vector<std::string> errorLines;   // standard error, bytes unchanged
    std::string startError;                // the system's reason when not started

    bool succeeded() const { return outcome == Outcome::Exited && exitCode == 0; }
    // "could not start <program>: <reason>", "<program> exited with code N",
    // "<program> crashed"; the last line of standard error is added in
    // parentheses, since that is where a failing program says why.
    std::string failureReason(const std::string& program) const;
};

class CommandRunner {
public:
    virtual ~CommandRunner() = default;
    // Runs `program` with `args` (a list: nothing is parsed by a shell) and
    // waits for its end without a time limit.
    virtual CommandResult run(const std::string& program, const std::vector<std::string>& args) = 0;
};

}  // namespace geovanta

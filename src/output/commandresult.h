#pragma once
// How one run of an outside program went and what it wrote.

#include <string>
#include <vector>

namespace geovanta {

struct CommandResult {
    enum class Outcome {
        Exited,      // ran and ended by itself; exitCode holds its status
        NotStarted,  // missing, not executable, or the system refused to start it
        Crashed,     // ended by a signal or an abnormal termination
        Stopped,     // a program kept running ended by itself before the command was done
        NoAnswer,    // given up and ended: no answer in time, or output that was none
        Cancelled,   // given up and ended because the caller stopped waiting
        Gone,        // a program kept running had ended before it took the command: nothing of it was done
    };
    Outcome outcome = Outcome::NotStarted;
    int exitCode = 0;
    std::vector<std::string> outputLines;  // standard output, bytes unchanged
    std::vector<std::string> errorLines;   // standard error, bytes unchanged
    std::string startError;                // the system's reason when not started
    std::string givenUp;                   // why it was given up (NoAnswer, Cancelled)

    bool succeeded() const { return outcome == Outcome::Exited && exitCode == 0; }
    // "could not start <program>: <reason>", "<program> exited with code N",
    // "<program> crashed", "<program> stopped before finishing (exit code N)";
    // the last line of standard error is added in parentheses, since that is
    // where a failing program says why. A program given up gives `givenUp`.
    std::string failureReason(const std::string& program) const;
};

}  // namespace geovanta

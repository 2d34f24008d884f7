#include "output/commandresult.h"

namespace geovanta {

std::string CommandResult::failureReason(const std::string& program) const {
    std::string reason;
    switch (outcome) {
        case Outcome::NotStarted:
            reason = "could not start " + program;
            if (!startError.empty()) reason += ": " + startError;
            return reason;
        case Outcome::NoAnswer:
        case Outcome::Cancelled: return givenUp;
        case Outcome::Crashed: reason = program + " crashed"; break;
        case Outcome::Exited: reason = program + " exited with code " + std::to_string(exitCode); break;
        case Outcome::Stopped:
            reason = program + " stopped before finishing (exit code " + std::to_string(exitCode) + ")";
            break;
    }
    for (auto it = errorLines.rbegin(); it != errorLines.rend(); ++it) {
        if (it->find_first_not_of(" \t") == std::string::npos) continue;
        reason += " (" + *it + ")";
        break;
    }
    return reason;
}

}  // namespace geovanta

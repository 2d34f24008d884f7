#include "output/commandrunner.h"

namespace geovanta {

std::string CommandResult::failureReason(const std::string& program) const {
    std::string reason;
    switch (outcome) {
        case Outcome::NotStarted:
            reason = "could not start " + program;
            if (!startError.empty()) reason += ": " + startError;
            return reason;
        case Outcome::Crashed: reason = program + " crashed"; break;
        case Outcome::Exited: reason = program + " exited with code " + std::to_string(exitCode); break;
    }
    for (auto it = errorLines.rbegin(); it != errorLines.rend(); ++it) {
        if (it->find_first_not_of(" \t") == std::string::npos) continue;
        reason += " (" + *it + ")";
        break;
    }
    return reason;
}

}  // namespace geovanta

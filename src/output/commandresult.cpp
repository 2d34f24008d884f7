#include "output/commandresult.h"

#include "table/messages.h"

namespace geovanta {

std::string CommandResult::failureReason(const std::string& program) const {
    std::string reason;
    switch (outcome) {
        case Outcome::NotStarted:
            reason = textOf(Msg::CouldNotStart, {program});
            if (!startError.empty()) reason += ": " + startError;
            return reason;
        case Outcome::NoAnswer:
        case Outcome::Cancelled: return givenUp;
        case Outcome::Crashed: reason = textOf(Msg::Crashed, {program}); break;
        case Outcome::Exited: reason = textOf(Msg::ExitedWithCode, {program, exitCode}); break;
        case Outcome::Stopped:
        case Outcome::Gone:
            reason = textOf(Msg::StoppedBeforeEnd, {program, exitCode});
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

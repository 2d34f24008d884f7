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

std::vector<std::string> splitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.emplace_back(bytes.substr(start, i - start));
        i += (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < bytes.size()) lines.emplace_back(bytes.substr(start));
    return lines;
}

}  // namespace geovanta

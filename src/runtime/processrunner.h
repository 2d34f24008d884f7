#pragma once
// Running an outside program to its end through QProcess.

#include <chrono>
#include <string>
#include <vector>

#include "output/commandresult.h"

namespace geovanta {

// Runs `program` hidden, with no standard input, an empty environment and the
// program's current directory, and collects standard output and standard error
// completely; blocks until the child has ended, or for `within` at most: a
// child still running then is killed and the result is NoAnswer. Arguments
// are UTF-8; a command with any other text is refused as not started.
CommandResult RunCommand(const std::string& program, const std::vector<std::string>& args,
                         std::chrono::milliseconds within = std::chrono::minutes(2));

}  // namespace geovanta

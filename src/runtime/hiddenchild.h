#pragma once
// The set-up every child process of the program shares.

#include <string>
#include <vector>

class QProcess;

namespace geovanta {

// Gives `process` its program and arguments, an empty environment, separate
// output and error channels and, on Windows, no console window. Text that is
// not UTF-8 would reach the child with replacement characters in place of its
// bytes (a file name would then name another file, or none): such a command
// is refused with the reason in `refusal`.
bool prepareHiddenChild(QProcess& process, const std::string& program, const std::vector<std::string>& args,
                        std::string& refusal);

}  // namespace geovanta

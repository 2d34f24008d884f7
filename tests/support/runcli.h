#pragma once
// Runs the real geovanta-cli as a script would, with standard error folded
// into the captured output.
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace geovanta::test {

struct CliResult {
    int status = -1;  // exit status, -1 when the tool did not exit normally
    std::string out;
};

// `args` is shell text (quote paths with blanks); `folder`, when given, is the
// working directory; `wrapper`, when given, runs the tool (e.g. "prlimit ...").
inline CliResult runCli(const std::string& args, const std::string& folder = "", const std::string& wrapper = "") {
    CliResult r;
    std::string command = wrapper + " " + std::string(GEOVANTA_BIN_DIR) + "/geovanta-cli " + args + " 2>&1";
    if (!folder.empty()) command = "cd '" + folder + "' && " + command;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p) return r;
    std::array<char, 4096> buf{};
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
    const int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

}  // namespace geovanta::test

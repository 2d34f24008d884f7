#pragma once
// Runs the real ExifTool (or any program) from a test of a layer below the
// one that owns child processes: posix_spawn, no shell, no Qt.

#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace geovanta::test {

// The exiftool beside the programs, else the one on the search path.
inline std::string exifTool() {
    const std::string beside = std::string(GEOVANTA_BIN_DIR) + "/exiftool";
    return std::filesystem::exists(beside) ? beside : "exiftool";
}

// Runs a program without a shell; its exit status, or -1.
inline int runProgram(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

}  // namespace geovanta::test

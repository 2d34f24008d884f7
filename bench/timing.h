#pragma once
// Wall and processor time of a step in this process or of a child program,
// for benchmarks that set Geovanta beside another tool in the same run.

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace geovanta::bench {

using Clock = std::chrono::steady_clock;

inline double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Seconds {
    double wall = 0, cpu = 0;
};

inline double cpuSeconds(const rusage& u) {
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(u.ru_utime) + seconds(u.ru_stime);
}

// Wall and processor time of `step` in this process (all its threads).
template <typename Step>
Seconds timed(Step step) {
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    const Clock::time_point start = Clock::now();
    step();
    const double wall = secondsSince(start);
    getrusage(RUSAGE_SELF, &after);
    return {wall, cpuSeconds(after) - cpuSeconds(before)};
}

// Wall and processor time of a child program found on PATH, its peak memory
// in MB into `peakMb`; nothing when it could not run or failed.
inline std::optional<Seconds> runChild(const std::vector<std::string>& args, double& peakMb) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return std::nullopt;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return std::nullopt;
    const double wall = secondsSince(start);
    peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return Seconds{wall, cpuSeconds(usage)};
}

}  // namespace geovanta::bench

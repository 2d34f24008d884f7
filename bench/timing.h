#pragma once
// Wall and processor time of a step in this process or of a child program,
// for benchmarks that set Geovanta beside another tool in the same run.
// Targets are ratios: the other tool's time over ours, median of rounds in
// which the two run alternately.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
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

// The environment every program of a comparison runs in: UTC and a plain
// locale, where the peers are at their fastest (without TZ the C library
// reads /etc/localtime at every local time conversion).
inline std::vector<std::string> comparisonEnvironment() {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("TZ=", 0) != 0 && entry.rfind("LC_ALL=", 0) != 0) env.push_back(entry);
    }
    env.push_back("TZ=UTC");
    env.push_back("LC_ALL=C.UTF-8");
    return env;
}

struct ChildRun {
    Seconds time;
    double peakMb = 0;
};

// A child's peak memory cannot come from this process's wait4: a program
// started from a process as big as a benchmark with a million rows loaded
// inherits that process's high-water mark when it replaces it, so every child
// would seem at least as big as the benchmark. GNU time (`make bench`
// installs it) is small, and the peak it reports is its child's own.
inline const char* kPeakMeter = "/usr/bin/time";

inline std::optional<double> peakMbFrom(const std::string& path) {
    std::ifstream in(path);
    long kb = 0;
    if (!(in >> kb) || kb <= 0) return std::nullopt;
    return static_cast<double>(kb) / 1024.0;
}

// Wall and processor time and peak memory of a child program found on PATH,
// run in comparisonEnvironment(); its output goes to /dev/null when `quiet`.
// Nothing when it could not run or failed.
inline std::optional<ChildRun> runChild(const std::vector<std::string>& args, bool quiet = false) {
    const std::string peakFile =
        (std::filesystem::temp_directory_path() / ("geovanta-bench-peak-" + std::to_string(::getpid()))).string();
    std::vector<std::string> metered = {kPeakMeter, "-f", "%M", "-o", peakFile};
    metered.insert(metered.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (const std::string& a : metered) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> env = comparisonEnvironment();
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return std::nullopt;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return std::nullopt;
    const double wall = secondsSince(start);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    const std::optional<double> peak = peakMbFrom(peakFile);
    std::filesystem::remove(peakFile);
    if (!peak) return std::nullopt;
    return ChildRun{{wall, cpuSeconds(usage)}, *peak};
}

// Ours against a peer, run alternately so that a busy moment of a shared
// machine falls on both: the ratios peer / ours of each round, and their
// median and spread.
struct Comparison {
    std::vector<double> ratios, cpuRatios;
    std::vector<ChildRun> ours, peer;
    bool ok = false;

    static double median(std::vector<double> v) {
        if (v.empty()) return 0;
        std::sort(v.begin(), v.end());
        const std::size_t n = v.size();
        return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    }
    double medianRatio() const { return median(ratios); }
    double lowest() const { return ratios.empty() ? 0 : *std::min_element(ratios.begin(), ratios.end()); }
    double highest() const { return ratios.empty() ? 0 : *std::max_element(ratios.begin(), ratios.end()); }
    double medianOurs() const { return median(wallOf(ours)); }
    double medianPeer() const { return median(wallOf(peer)); }
    double peakOurs() const { return maxPeak(ours); }
    double peakPeer() const { return maxPeak(peer); }

private:
    static std::vector<double> wallOf(const std::vector<ChildRun>& runs) {
        std::vector<double> w;
        for (const ChildRun& r : runs) w.push_back(r.time.wall);
        return w;
    }
    static double maxPeak(const std::vector<ChildRun>& runs) {
        double m = 0;
        for (const ChildRun& r : runs) m = std::max(m, r.peakMb);
        return m;
    }
};

// `rounds` rounds of ours then the peer, `prepare` before every run (for
// example to drop the page cache); the peer starts every other round so
// that neither always runs on what the other left warm.
template <typename Prepare>
Comparison compareRuns(const std::vector<std::string>& ours, const std::vector<std::string>& peer, int rounds,
                       Prepare prepare) {
    Comparison c;
    for (int round = 0; round < rounds; ++round) {
        std::optional<ChildRun> a, b;
        for (int k = 0; k < 2; ++k) {
            const bool oursNow = (k == 0) == (round % 2 == 0);
            prepare();
            (oursNow ? a : b) = runChild(oursNow ? ours : peer, true);
        }
        if (!a || !b) return c;
        c.ours.push_back(*a);
        c.peer.push_back(*b);
        c.ratios.push_back(b->time.wall / a->time.wall);
        c.cpuRatios.push_back(b->time.cpu / a->time.cpu);
    }
    c.ok = true;
    return c;
}

inline Comparison compareRuns(const std::vector<std::string>& ours, const std::vector<std::string>& peer, int rounds) {
    return compareRuns(ours, peer, rounds, [] {});
}

// The counters of a comparison: x_faster is the median ratio, x_min and
// x_max its spread over the rounds.
inline void reportComparison(benchmark::State& state, const Comparison& c, const std::string& peerName) {
    state.counters["x_faster"] = c.medianRatio();
    state.counters["x_min"] = c.lowest();
    state.counters["x_max"] = c.highest();
    state.counters["x_faster_cpu"] = Comparison::median(c.cpuRatios);
    state.counters["cli_s"] = c.medianOurs();
    state.counters[peerName + "_s"] = c.medianPeer();
    state.counters["cli_peak_MB"] = c.peakOurs();
    state.counters[peerName + "_peak_MB"] = c.peakPeer();
    state.counters["rounds"] = static_cast<double>(c.ratios.size());
}

// Rounds of a comparison: GEOVANTA_BENCH_ROUNDS, else 5. On a shared
// two-core machine one run of ours moves by a third from round to round while
// the peer's long runs move little, so fewer rounds give a restless median.
inline int comparisonRounds() {
    const char* text = std::getenv("GEOVANTA_BENCH_ROUNDS");
    const std::string_view view = text ? text : "";
    int rounds = 0;
    const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), rounds);
    return error == std::errc() && end == view.data() + view.size() && rounds > 0 && rounds <= 100 ? rounds : 5;
}

inline std::string cliPath() { return std::string(GEOVANTA_BIN_DIR) + "/geovanta-cli"; }

}  // namespace geovanta::bench

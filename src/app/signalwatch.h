#pragma once
// The command-line tool's answer to SIGTERM, SIGHUP and SIGINT. A signal
// handler may do next to nothing, so the signals are blocked in every thread
// and one thread of this class waits for them instead, free to lock and wake.
// Until a handler is set, a signal ends the program at once with status
// 128 + its number, as the shell reports a killed program. A signal that was
// ignored when the program started (nohup's SIGHUP) stays ignored.

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

namespace geovanta {

class SignalWatch {
public:
    using Handler = std::function<void(int signal)>;

    // Must come before any other thread is started: threads inherit the
    // blocked signals from the one that starts them.
    SignalWatch();
    ~SignalWatch();
    SignalWatch(const SignalWatch&) = delete;
    SignalWatch& operator=(const SignalWatch&) = delete;

    // Runs on the watching thread for each signal; an empty one restores
    // the immediate end.
    void setHandler(Handler handler);
    // The last signal received, 0 when none.
    int received() const { return received_.load(); }

private:
    void watch();

    std::mutex mutex_;
    Handler handler_;
    std::atomic<int> received_{0};
    std::atomic<bool> stopping_{false};
    std::thread thread_;  // last: it starts once the rest exists
};

}  // namespace geovanta

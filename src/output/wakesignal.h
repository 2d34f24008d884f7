#pragma once
// A wake-up call between threads that is never lost: wake() before wait()
// makes the wait return at once.

#include <condition_variable>
#include <mutex>

namespace geovanta {

class WakeSignal {
public:
    void wake() {
        {
            std::lock_guard lock(mutex_);
            woken_ = true;
        }
        changed_.notify_all();
    }
    void wait() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return woken_; });
        woken_ = false;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool woken_ = false;
};

}  // namespace geovanta

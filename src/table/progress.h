#pragma once
// How far one long piece of work has got, and the wish to stop it, shared
// between the thread that does the work and the one that shows it. Readers
// and passes take one as a plain parameter and look at it now and then; a
// reader that sees the wish stops where it is and says so.

#include <atomic>
#include <cstdint>

namespace geovanta {

class Progress {
public:
    // Units of work: photographs for a scan, bytes for a file.
    void setTotal(uint64_t total) { total_.store(total, std::memory_order_relaxed); }
    void setDone(uint64_t done) { done_.store(done, std::memory_order_relaxed); }
    void advance(uint64_t units = 1) { done_.fetch_add(units, std::memory_order_relaxed); }
    uint64_t total() const { return total_.load(std::memory_order_relaxed); }
    uint64_t done() const { return done_.load(std::memory_order_relaxed); }

    void cancel() { cancelled_.store(true, std::memory_order_relaxed); }
    bool cancelled() const { return cancelled_.load(std::memory_order_relaxed); }

private:
    std::atomic<uint64_t> total_{0};
    std::atomic<uint64_t> done_{0};
    std::atomic<bool> cancelled_{false};
};

// True when `progress` is given and asks to stop.
inline bool stopWanted(const Progress* progress) { return progress && progress->cancelled(); }

}  // namespace geovanta

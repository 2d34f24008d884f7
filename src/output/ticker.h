#pragma once
// Wakes the console at a steady pace while a batch waits for something that
// no event announces, such as another program letting a folder's lock go.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "output/consoleview.h"

namespace geovanta {

class Ticker {
public:
    Ticker(ConsoleView& console, std::chrono::milliseconds every)
        : thread_([this, &console, every] {
              std::unique_lock lock(mutex_);
              while (!stopped_.wait_for(lock, every, [this] { return stop_; })) console.wake();
          }) {}
    ~Ticker() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        stopped_.notify_all();
        thread_.join();
    }
    Ticker(const Ticker&) = delete;
    Ticker& operator=(const Ticker&) = delete;

private:
    std::mutex mutex_;
    std::condition_variable stopped_;
    bool stop_ = false;
    std::thread thread_;  // last, so that it starts once the others exist
};

}  // namespace geovanta

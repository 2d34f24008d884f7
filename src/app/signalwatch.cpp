#include "app/signalwatch.h"

#include <cstdlib>
#include <utility>

#ifndef _WIN32
#include <pthread.h>
#include <signal.h>
#endif

namespace geovanta {

#ifndef _WIN32
namespace {

sigset_t watchedSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    sigaddset(&set, SIGINT);
    return set;
}

// Blocked before the thread that waits for them exists.
bool blockWatchedSignals() {
    const sigset_t set = watchedSignals();
    return pthread_sigmask(SIG_BLOCK, &set, nullptr) == 0;
}

}  // namespace

SignalWatch::SignalWatch() : thread_((blockWatchedSignals(), [this] { watch(); })) {}

SignalWatch::~SignalWatch() {
    stopping_ = true;
    // The watching thread takes this SIGTERM as its cue to end.
    pthread_kill(thread_.native_handle(), SIGTERM);
    thread_.join();
}

void SignalWatch::watch() {
    const sigset_t set = watchedSignals();
    for (;;) {
        int signal = 0;
        if (sigwait(&set, &signal) != 0) continue;
        if (stopping_) return;
        received_ = signal;
        std::lock_guard lock(mutex_);
        if (!handler_) std::_Exit(128 + signal);
        handler_(signal);
    }
}
#else
SignalWatch::SignalWatch() {}
SignalWatch::~SignalWatch() {}
void SignalWatch::watch() {}
#endif

void SignalWatch::setHandler(Handler handler) {
    std::lock_guard lock(mutex_);
    handler_ = std::move(handler);
}

}  // namespace geovanta

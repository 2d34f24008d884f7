#include "app/signalwatch.h"

#include <csignal>
#include <cstdlib>
#include <utility>

#ifndef _WIN32
#include <pthread.h>
#include <signal.h>
#endif

namespace geovanta {

#ifndef _WIN32
namespace {

// Tells the watching thread to end; its own, since a stop signal may not be
// watched at all.
constexpr int kWakeSignal = SIGUSR1;

bool ignored(int signal) {
    struct sigaction current {};
    return sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

// A stop signal that whoever started the program set to be ignored (nohup
// does so with SIGHUP) stays ignored: blocked, it would be kept for sigwait.
sigset_t watchedSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : {SIGTERM, SIGHUP, SIGINT})
        if (!ignored(signal)) sigaddset(&set, signal);
    sigaddset(&set, kWakeSignal);
    return set;
}

// Blocked before the thread that waits for them exists.
bool blockWatchedSignals() {
    std::signal(kWakeSignal, SIG_DFL);
    const sigset_t set = watchedSignals();
    return pthread_sigmask(SIG_BLOCK, &set, nullptr) == 0;
}

}  // namespace

SignalWatch::SignalWatch() : thread_((blockWatchedSignals(), [this] { watch(); })) {}

SignalWatch::~SignalWatch() {
    stopping_ = true;
    pthread_kill(thread_.native_handle(), kWakeSignal);
    thread_.join();
}

void SignalWatch::watch() {
    const sigset_t set = watchedSignals();
    for (;;) {
        int signal = 0;
        if (sigwait(&set, &signal) != 0) continue;
        if (signal == kWakeSignal) {
            if (stopping_) return;
            continue;  // someone else's: nothing to do
        }
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

#include "input/guardedmapping.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <mutex>

#ifdef __linux__
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace geovanta {

#ifdef __linux__
namespace {

// Mappings guarded at once: one a load, and loads run one at a time; a
// mapping that finds no slot is not made, and the file is read instead.
constexpr int kSlots = 32;
// Pages go back to the system a megabyte or more at a time.
constexpr std::size_t kReleaseStep = std::size_t{1} << 20;

// Read by the signal handler, so only lock-free atomics: a slot is free
// while `begin` is 0, and `end` is set before `begin` when it is taken.
struct Slot {
    std::atomic<std::uintptr_t> begin{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<bool> cut{false};
};
static_assert(std::atomic<std::uintptr_t>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

Slot gSlots[kSlots];
std::mutex gSlotsTaken;  // between threads taking and giving back slots, never in the handler
struct sigaction gPrevious {};
std::uintptr_t gPageSize = 4096;

// Whatever handled SIGBUS before this guard was installed.
void passOn(int signal, siginfo_t* info, void* context) {
    if ((gPrevious.sa_flags & SA_SIGINFO) && gPrevious.sa_sigaction) {
        gPrevious.sa_sigaction(signal, info, context);
        return;
    }
    if (gPrevious.sa_handler != SIG_DFL && gPrevious.sa_handler != SIG_IGN) {
        gPrevious.sa_handler(signal);
        return;
    }
    // The system's own handling: the fault comes again on return and ends
    // the program as it would have without the guard.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    ::sigaction(SIGBUS, &fallback, nullptr);
}

// Zeros in the place of the rest of the mapping from the faulting page on,
// so that the read that faulted gets a zero and the ones after it too.
// mmap is a plain system call on Linux, safe in a handler of a fault.
void onBusError(int signal, siginfo_t* info, void* context) {
    const auto at = reinterpret_cast<std::uintptr_t>(info->si_addr);
    // si_code above 0: the fault of a page, not a signal sent by someone.
    if (info->si_code > 0) {
        for (Slot& slot : gSlots) {
            const std::uintptr_t begin = slot.begin.load();
            const std::uintptr_t end = slot.end.load();
            if (begin == 0 || at < begin || at >= end) continue;
            const std::uintptr_t page = at / gPageSize * gPageSize;
            void* zeros = ::mmap(reinterpret_cast<void*>(page), end - page, PROT_READ,
                                 MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
            if (zeros == MAP_FAILED) break;
            slot.cut.store(true);
            return;
        }
    }
    passOn(signal, info, context);
}

bool installGuard() {
    static const bool installed = [] {
        gPageSize = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
        struct sigaction guard {};
        guard.sa_sigaction = &onBusError;
        guard.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESTART;
        sigemptyset(&guard.sa_mask);
        return ::sigaction(SIGBUS, &guard, &gPrevious) == 0;
    }();
    return installed;
}

int takeSlot(std::uintptr_t begin, std::uintptr_t end) {
    const std::lock_guard lock(gSlotsTaken);
    for (int i = 0; i < kSlots; ++i) {
        Slot& slot = gSlots[i];
        if (slot.begin.load() != 0) continue;
        slot.cut.store(false);
        slot.end.store(end);
        slot.begin.store(begin);
        return i;
    }
    return -1;
}

void giveBack(int i) {
    const std::lock_guard lock(gSlotsTaken);
    gSlots[i].begin.store(0);
    gSlots[i].end.store(0);
}

}  // namespace

std::unique_ptr<GuardedMapping> GuardedMapping::map(int descriptor, std::size_t size) {
    if (size == 0 || !installGuard()) return nullptr;
    const std::size_t length = (size + gPageSize - 1) / gPageSize * gPageSize;
    void* area = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, descriptor, 0);
    if (area == MAP_FAILED) return nullptr;
    const auto begin = reinterpret_cast<std::uintptr_t>(area);
    const int slot = takeSlot(begin, begin + length);
    if (slot < 0) {
        ::munmap(area, length);
        return nullptr;
    }
    // Read ahead far, and let go of pages behind the read first.
    ::madvise(area, length, MADV_SEQUENTIAL);
    return std::unique_ptr<GuardedMapping>(new GuardedMapping(static_cast<char*>(area), size, length, slot));
}

GuardedMapping::~GuardedMapping() {
    // Nothing reads the mapping any more; given back before it is unmapped,
    // the slot never names pages the system may hand to another mapping.
    giveBack(slot_);
    ::munmap(data_, length_);
}

void GuardedMapping::release(std::size_t offset) {
    const std::size_t upTo = offset >= size_ ? length_ : offset / gPageSize * gPageSize;
    if (upTo <= released_ || (upTo < length_ && upTo - released_ < kReleaseStep)) return;
    ::madvise(data_ + released_, upTo - released_, MADV_DONTNEED);
    released_ = upTo;
}

bool GuardedMapping::cut() const { return gSlots[slot_].cut.load(); }

#else

std::unique_ptr<GuardedMapping> GuardedMapping::map(int, std::size_t) { return nullptr; }
GuardedMapping::~GuardedMapping() = default;
void GuardedMapping::release(std::size_t) {}
bool GuardedMapping::cut() const { return false; }

#endif

}  // namespace geovanta

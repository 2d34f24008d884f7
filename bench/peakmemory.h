#pragma once
// Peak memory of one step: the kernel's high-water mark of this process's
// resident size, reset before the step, less the size before it.

#include <malloc.h>

#include <fstream>
#include <string>

namespace geovanta::bench {

// Resident size (VmRSS) or its high-water mark (VmHWM) in MB.
inline double statusMb(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string word;
    while (in >> word)
        if (word == key) {
            double kb = 0;
            in >> kb;
            return kb / 1024.0;
        }
    return 0;
}

class PeakMemory {
public:
    // Memory the allocator kept from earlier steps would be reused without
    // showing, so it is handed back first.
    PeakMemory() {
        malloc_trim(0);
        std::ofstream("/proc/self/clear_refs") << "5";
        before_ = statusMb("VmRSS:");
    }
    double mb() const { return statusMb("VmHWM:") - before_; }

private:
    double before_ = 0;
};

}  // namespace geovanta::bench

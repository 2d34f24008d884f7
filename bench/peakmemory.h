#pragma once
// Peak memory of one step: the kernel's high-water mark of this process's
// resident size, reset before the step, less the size before it.

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>

#include "table/datatable.h"

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

// Times `load` (a table in, true when it loaded) on a fresh table in every
// iteration, the making and freeing of the table left out; the highest peak
// goes into the counter peak_MB.
template <typename Load>
void timeLoads(benchmark::State& state, Load load) {
    double peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto table = std::make_unique<DataTable>();
        const PeakMemory memory;
        state.ResumeTiming();
        if (!load(*table)) state.SkipWithError("the file did not load");
        state.PauseTiming();
        peak = std::max(peak, memory.mb());
        table.reset();
        state.ResumeTiming();
    }
    state.counters["peak_MB"] = peak;
}

}  // namespace geovanta::bench

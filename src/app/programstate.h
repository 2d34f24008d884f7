#pragma once
#include <cstdint>
#include <string>

#include "binding/calcpositions.h"

namespace geovanta {

// Program-wide state that the commands share: offsets, tolerance, folders and
// the track counter.
struct ProgramState {
    double trackOffset = 0;  // days, added to the times of track points and waypoints
    double photoOffset = 0;  // days, added to the times of photographs
    int32_t tolerance = 300; // seconds
    std::string photoFolder;
    std::string dataFolder;
    uint16_t trackCounter = 0;  // one more per accepted track file; wraps
    std::string windowGeometry;  // the main window's place and size, as the window saves it
};

// The pass's parameters as the state holds them now; every command that runs
// the pass takes them from here.
inline BindingParams bindingParams(const ProgramState& state) {
    return BindingParams{state.trackOffset, state.photoOffset, state.tolerance};
}

}  // namespace geovanta

#pragma once
#include <cstdint>
#include <string>

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
};

// Folder of the running executable, with a trailing separator.
std::string executableFolder();

}  // namespace geovanta

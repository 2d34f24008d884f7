// Names of the coded EXIF values, and the small helpers of the EXIF module.
#include <cerrno>

#include "input/exif.h"

namespace geovanta {

const std::array<const char*, 9> OrientationNames = {
    "Normal",          "Mirrored",          "Rotated 180",     "Rotated 180, mirrored", "Rotated 90 left, mirrored",
    "Rotated 90 right", "Rotated 90 right, mirrored", "Rotated 90 left", "Unknown"};

const std::array<const char*, 9> ExposureProgramNames = {
    "Unknown",          "Manual Control", "Normal Program", "Aperture Priority", "Shutter Priority",
    "Creative Program", "Action Program", "Portrait Mode",  "Landscape Mode"};

const std::array<const char*, 8> MeteringModeNames = {
    "Unknown", "Average", "Center Weighted Average", "Spot", "Multi Spot", "Pattern", "Partial", "Other"};

const char* lightSourceName(uint32_t value) {
    switch (value) {
        case 1: return "Daylight";
        case 2: return "Flourescent";
        case 3: return "Tungsten";
        case 10: return "Flash";
        case 17: return "Standard Light A";
        case 18: return "Standard Light B";
        case 19: return "Standard Light C";
        case 20: return "D55";
        case 21: return "D65";
        case 22: return "D75";
        case 255: return "Other";
        default: return "Unknown";
    }
}

const char* flashName(uint32_t value) {
    switch (value) {
        case 1: return "Flash";
        case 5: return "Flash No Strobe";
        case 7: return "Flash Strobe";
        case 25: return "Flash (Auto)";
        default: return "No Flash";
    }
}

const char* meteringModeName(uint32_t value) {
    if (value <= 6) return MeteringModeNames[value];
    if (value == 255) return MeteringModeNames[7];
    return "Unknown";
}

uint32_t SwapLong(uint32_t value) {
    return (value >> 24) | ((value >> 8) & 0xFF00u) | ((value << 8) & 0xFF0000u) | (value << 24);
}

std::string fileLayerMessage(int code) {
    if (code == EACCES || code == EPERM) return "File access denied";
    if (code == ENOENT) return "File not found";
    return "I/O error " + std::to_string(code);
}

}  // namespace geovanta

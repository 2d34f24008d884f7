#pragma once
// The cameras' own clocks as the program keeps them: each body's offset and
// whether it keeps local time, found for the cameras loaded, named on the
// command line, and kept in the settings file from one trip to the next.
//
// In the settings file each camera is one key of the section [Cameras]:
//   Camera.<16 hex digits>=<offset>;<local>;<make>;<model>;<serial>
// The key only gives the camera a line of its own to be replaced by the next
// save: it is a 64-bit FNV-1a hash of make, model and serial as cameras are
// compared (a serial of digits without its leading zeros), because makes
// and models may hold any character, and keys are compared without regard to
// case. The camera itself is read back from the value: <offset> in days, or
// empty when the camera takes the photo offset; <local> 1 or 0; the three
// texts as the photographs' files give them, with "%", ";", control
// characters and a blank at either end written as %XX.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "binding/calcpositions.h"
#include "table/photofacts.h"

namespace geovanta {

class DataTable;
class ZoneData;

// The zones' data files of the running program, read when first needed.
std::shared_ptr<const ZoneData> programZoneData();

// Offsets of a camera's clock are kept within a century either way.
inline constexpr double kMaxCameraOffsetDays = 36525;

std::string cameraSettingKey(const CameraKey& camera);
std::string cameraSettingValue(const CameraClock& clock);
// Nothing for a value that is not one of the above, or an offset out of range.
std::optional<CameraClock> parseCameraSetting(std::string_view value);

// A camera of the photographs loaded, as the offsets dialog lists it.
struct LoadedCamera {
    CameraKey camera;
    std::string name;        // as the Camera column names it
    std::size_t photos = 0;  // photographs of the table it took
};
// Every camera of the table's photographs, by name.
std::vector<LoadedCamera> camerasIn(const DataTable& table);

// The clock kept for `camera`, or nullptr.
const CameraClock* findClock(const std::vector<CameraClock>& clocks, const CameraKey& camera);
// Puts `clock` in place of the one kept for its camera, or adds it.
void keepClock(std::vector<CameraClock>& clocks, const CameraClock& clock);

// Whether a name typed for a camera means it: its model, its make and model
// apart by a blank, or its serial, compared without regard to ASCII case
// (a serial of digits also without leading zeros).
bool cameraNamed(const CameraKey& camera, std::string_view name);

}  // namespace geovanta

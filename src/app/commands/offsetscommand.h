#pragma once
// The time offsets command: shows the two offsets as days, hours and minutes,
// the tolerance and the cameras loaded, each with its own offset to the
// second and whether it keeps local time, and on OK stores them, saves them
// and re-runs the binding pass off the window's thread.

#include <vector>

#include "app/cameraclocks.h"
#include "app/commands/dialogs.h"
#include "binding/calcpositions.h"
#include "binding/timeoffsets.h"

namespace geovanta {

class Document;
class JobRunner;
class SettingsFile;
struct ProgramState;

// The fields the dialog opens with, a line for each camera of `cameras`.
OffsetFields offsetFieldsOf(const ProgramState& state, const std::vector<LoadedCamera>& cameras = {});

// Saves the two offsets, the tolerance and the zones' use as "DeltaTrack",
// "DeltaFoto", "DeltaSec" and "PhotoZones", then the clocks of `cameras`;
// false after showing the first failure. The offsets are in force either
// way: a settings file that cannot be written only loses them for the next
// start.
bool saveOffsets(const ProgramState& state, const SettingsFile& settings, Dialogs& dialogs,
                 const std::vector<CameraClock>& cameras = {});
// Saves one camera's clock the same way.
bool saveCamera(const CameraClock& clock, const SettingsFile& settings, Dialogs& dialogs);

class OffsetsCommand {
public:
    OffsetsCommand(Document& document, Dialogs& dialogs, JobRunner& jobs)
        : document_(document), dialogs_(dialogs), jobs_(jobs) {}

    // On OK the new offsets take effect at once and the pass runs.
    void run();

private:
    Document& document_;
    Dialogs& dialogs_;
    JobRunner& jobs_;
};

}  // namespace geovanta

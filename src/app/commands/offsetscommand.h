#pragma once
// The time offsets command: shows the two offsets as days, hours and minutes
// and the tolerance, and on OK stores them, saves them and re-runs the
// binding pass.

#include "app/commands/dialogs.h"
#include "binding/timeoffsets.h"

namespace geovanta {

class DataTable;
class SettingsFile;
struct ProgramState;

// The fields the dialog opens with.
OffsetFields offsetFieldsOf(const ProgramState& state);

// Saves the two offsets and the tolerance as "DeltaTrack", "DeltaFoto" and
// "DeltaSec"; false after showing the first failure, which ends the command.
bool saveOffsets(const ProgramState& state, const SettingsFile& settings, Dialogs& dialogs);

class OffsetsCommand {
public:
    OffsetsCommand(DataTable& table, ProgramState& state, const SettingsFile& settings, Dialogs& dialogs)
        : table_(table), state_(state), settings_(settings), dialogs_(dialogs) {}

    void run();

private:
    DataTable& table_;
    ProgramState& state_;
    const SettingsFile& settings_;
    Dialogs& dialogs_;
};

}  // namespace geovanta

#pragma once
// The "load photographs" command: asks for the photo folder, saves it as
// "FotoPath" and scans it.

namespace geovanta {

class DataTable;
class Dialogs;
class SettingsFile;
struct ProgramState;

class PhotoLoadCommand {
public:
    PhotoLoadCommand(Dialogs& dialogs, DataTable& table, ProgramState& state, const SettingsFile& settings)
        : dialogs_(dialogs), table_(table), state_(state), settings_(settings) {}

    void run();

private:
    Dialogs& dialogs_;
    DataTable& table_;
    ProgramState& state_;
    const SettingsFile& settings_;
};

}  // namespace geovanta

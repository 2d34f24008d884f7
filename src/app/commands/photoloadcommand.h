#pragma once
// The "load photographs" command: asks for the photo folder and whether the
// folders inside it count too, saves them as "FotoPath" and "Recursive" and
// scans the folder.

#include <string>

namespace geovanta {

class DataTable;
class Dialogs;
class SettingsFile;
struct ProgramState;
struct PhotoScanResult;

class PhotoLoadCommand {
public:
    PhotoLoadCommand(Dialogs& dialogs, DataTable& table, ProgramState& state, const SettingsFile& settings)
        : dialogs_(dialogs), table_(table), state_(state), settings_(settings) {}

    // Shows one message at the end naming every file the scan left out.
    void run();
    // Loads a folder named outside the dialog (a program argument) as if it
    // had been typed into the dialog, its checkbox as last chosen.
    void load(const std::string& folder);
    void load(const std::string& folder, bool withSubfolders);

    // That message: a line per left-out file with its reason.
    static std::string leftOutMessage(const PhotoScanResult& result);

private:
    Dialogs& dialogs_;
    DataTable& table_;
    ProgramState& state_;
    const SettingsFile& settings_;
};

}  // namespace geovanta

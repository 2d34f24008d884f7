#pragma once
// "Set the time from this photograph": the user gives the true moment the
// current photograph was taken (read off a GPS or phone clock that was
// photographed, say), and the photo offset becomes whatever makes this
// photograph's shifted time equal it. Offsets are saved as the offsets
// dialog saves them and the pass runs.

namespace geovanta {

class DataTable;
class Dialogs;
class SettingsFile;
struct ProgramState;

class ReferencePhotoCommand {
public:
    static constexpr const char* kCaption = "Установить время по этой фотографии…";

    ReferencePhotoCommand(DataTable& table, ProgramState& state, const SettingsFile& settings, Dialogs& dialogs)
        : table_(table), state_(state), settings_(settings), dialogs_(dialogs) {}

    void run();

private:
    DataTable& table_;
    ProgramState& state_;
    const SettingsFile& settings_;
    Dialogs& dialogs_;
};

}  // namespace geovanta

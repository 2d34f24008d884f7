#pragma once
// The load command for GPS data: asks for a track or waypoint file, reads it
// with the reader of the chosen filter entry and remembers the folder.
// One object lives as long as the main window, so the open dialog comes back
// with the filter entry and file name of its last use.

#include <string>

#include "input/loadresult.h"

namespace geovanta {

class DataTable;
class Dialogs;
class SettingsFile;
struct ProgramState;

class TrackLoadCommand {
public:
    static constexpr const char* kFilters =
        "Треки OziExplorer|*.PLT|Точки OziExplorer|*.WPT|GPX|*.GPX|All GPS files|*.plt;*.wpt;*.gpx";
    static constexpr int kTrackFilter = 1;
    static constexpr int kWaypointFilter = 2;
    static constexpr int kGpxFilter = 3;
    static constexpr int kAllGpsFilter = 4;  // the reader goes by the extension
    static constexpr const char* kSkippedPointsMessage = "Пропущено точек без времени: ";
    static constexpr const char* kAltitudesOutOfRangeMessage = "Точек с невозможной высотой (взяты без высоты): ";
    static constexpr const char* kDataPathKey = "DataPath";

    TrackLoadCommand(Dialogs& dialogs, DataTable& table, ProgramState& state, const SettingsFile& settings)
        : dialogs_(dialogs), table_(table), state_(state), settings_(settings) {}

    void run();
    // Loads a file named outside the dialog (a program argument) as the
    // dialog's entry for its extension would; a file of no known kind is
    // refused with a message.
    void load(const std::string& path);

    int filterIndex() const { return filterIndex_; }
    const std::string& fileName() const { return fileName_; }

    // Folder part of a full file name, with its trailing separator; empty when
    // the name has no folder.
    static std::string folderOf(const std::string& path);
    // The filter entry whose reader takes files of this extension, or 0.
    static int filterForExtension(const std::string& path);
    static constexpr const char* kUnknownKindMessage = "Неизвестный тип файла: ";
    // Reads `path` with the reader of the filter entry (kTrackFilter,
    // kWaypointFilter or kGpxFilter); `pointsWithoutTime` gets the points a
    // GPX file held without a time, which were left out. The command-line
    // tool reads its files through here too.
    static LoadResult read(DataTable& table, ProgramState& state, const std::string& path, int filterIndex,
                           std::size_t& pointsWithoutTime);

private:
    void loadWith(const std::string& path, int filterIndex);

    Dialogs& dialogs_;
    DataTable& table_;
    ProgramState& state_;
    const SettingsFile& settings_;
    int filterIndex_ = kTrackFilter;
    std::string fileName_;
};

}  // namespace geovanta

#pragma once
// The load command for GPS data: asks for a track, waypoint or GPX file,
// reads it with the reader of the chosen filter entry off the window's
// thread and remembers the folder. One object lives as long as the main
// window, so the open dialog comes back with the filter entry and file name
// of its last use.

#include <optional>
#include <string>

#include "input/gpsfile.h"

namespace geovanta {

class Dialogs;
class Document;
class JobRunner;
struct GpsReadStats;

class TrackLoadCommand {
public:
    // The open dialog's filter list is Msg::GpsFileFilters; its fourth entry
    // leaves the reader to the extension.
    static constexpr int kAllGpsFilter = 4;
    static constexpr const char* kDataPathKey = "DataPath";

    TrackLoadCommand(Dialogs& dialogs, Document& document, JobRunner& jobs)
        : dialogs_(dialogs), document_(document), jobs_(jobs) {}

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
    // The kind of file an entry of the filter list stands for; nothing for
    // "All GPS files", which goes by the extension.
    static std::optional<GpsFileKind> kindOfFilter(int filterIndex);

private:
    void loadAs(const std::string& path, std::optional<GpsFileKind> kind);

    Dialogs& dialogs_;
    Document& document_;
    JobRunner& jobs_;
    int filterIndex_ = 1;
    std::string fileName_;
};

}  // namespace geovanta

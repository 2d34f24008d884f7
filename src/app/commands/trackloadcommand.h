#pragma once
// The load command for GPS data: asks for a GPS file of a format of the
// list, reads it with the reader of the chosen filter entry off the window's
// thread and remembers the folder. One object lives as long as the main
// window, so the open dialog comes back with the file name of its last use,
// on the filter entry that shows that file.

#include <optional>
#include <string>

#include "input/fileformats.h"

namespace geovanta {

class Dialogs;
class Document;
class JobRunner;

class TrackLoadCommand {
public:
    static constexpr const char* kDataPathKey = "DataPath";

    TrackLoadCommand(Dialogs& dialogs, Document& document, JobRunner& jobs)
        : dialogs_(dialogs), document_(document), jobs_(jobs) {}

    void run();
    // Loads a file named outside the dialog (a program argument) as the
    // dialog's entry for its format would; a file of no known format is
    // refused with a message. A relative name is taken from the working
    // folder; the dialog and "DataPath" get it absolute.
    void load(const std::string& path);

    int filterIndex() const { return filterIndex_; }
    const std::string& fileName() const { return fileName_; }

    // Folder part of a full file name, with its trailing separator; empty when
    // the name has no folder.
    static std::string folderOf(const std::string& path);
private:
    // Reads `path` with the reader of `format`, or of the file's own format
    // when nothing is given.
    void loadAs(const std::string& path, const FileFormat* format);

    Dialogs& dialogs_;
    Document& document_;
    JobRunner& jobs_;
    int filterIndex_ = 1;
    std::string fileName_;
};

}  // namespace geovanta

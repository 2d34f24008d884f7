#pragma once
// The "load photographs" command: asks for the photo folder and whether the
// folders inside it count too, saves them as "FotoPath" and "Recursive" and
// scans the folder off the window's thread.

#include <string>

namespace geovanta {

class Dialogs;
class Document;
class JobRunner;
struct PhotoScanResult;

class PhotoLoadCommand {
public:
    PhotoLoadCommand(Dialogs& dialogs, Document& document, JobRunner& jobs)
        : dialogs_(dialogs), document_(document), jobs_(jobs) {}

    // Shows one message at the end naming every file the scan left out.
    void run();
    // Loads a folder named outside the dialog (a program argument) as if it
    // had been typed into the dialog, its checkbox as last chosen. A relative
    // folder is taken from the working folder and kept and saved absolute.
    void load(const std::string& folder);
    void load(const std::string& folder, bool withSubfolders);

    // That message: a line per left-out file with its reason.
    static std::string leftOutMessage(const PhotoScanResult& result);

private:
    Dialogs& dialogs_;
    Document& document_;
    JobRunner& jobs_;
};

}  // namespace geovanta

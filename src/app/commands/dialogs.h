#pragma once
// Everything a command asks of a person goes through this interface: message
// boxes, the standard file and folder dialogs, the program's own small dialogs,
// and opening a file with the desktop's associated viewer. The main window
// provides the real one; tests provide a scripted one, so every command runs
// end to end without a person. Texts are UTF-8.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace geovanta {

enum class MessageKind {
    Error,        // a command's own rejection of its input: caption "Error", error icon
    Information,  // a completed transfer: caption "Information", information icon
    Plain,        // plain message, no icon (caption: the application title)
    Failure,      // an error that ended a command: caption "Geovanta", error icon
};

// Text of the general error display: "." is appended when the last character
// sorts after "." (a letter or a digit; not ")" or "!").
std::string failureText(const std::string& message);

// What the photo folder dialog shows and answers: the folder field's text
// and whether the folders inside it are read too.
struct PhotoFolderChoice {
    std::string folder;
    bool withSubfolders = false;
    bool operator==(const PhotoFolderChoice&) const = default;
};

// A camera's line in the time offsets dialog.
struct CameraFields {
    std::string name;        // as the Camera column names it
    std::size_t photos = 0;  // photographs loaded that it took
    // The camera has an offset of its own, in the four fields; otherwise they
    // show the photo offset, which applies.
    bool ownOffset = false;
    int days = 0, hours = 0, minutes = 0, seconds = 0;
    bool localTime = false;  // its clock shows the local time where each photograph was taken
    bool operator==(const CameraFields&) const = default;
};

// Fields of the time offsets dialog: days, hours, minutes of the track offset,
// the same of the photo offset, then the tolerance in seconds, whether
// photographs are brought to UTC by their own zones, and the cameras of the
// photographs loaded. The answer keeps the cameras in the order shown.
struct OffsetFields {
    int trackDays = 0, trackHours = 0, trackMinutes = 0;
    int photoDays = 0, photoHours = 0, photoMinutes = 0;
    int toleranceSeconds = 300;
    bool photoZones = false;
    std::vector<CameraFields> cameras{};
    bool writeZones = false;  // the tag write records the zones found for cameras on local time
    bool operator==(const OffsetFields&) const = default;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual void showMessage(MessageKind kind, const std::string& text) = 0;
    // Question with OK and Cancel; true for OK.
    virtual bool askOkCancel(const std::string& text) = 0;

    struct FileChoice {
        std::string path;     // full name of the chosen file
        int filterIndex = 1;  // 1-based entry of the filter list selected at closing
    };
    // Open-file dialog. `filters` reads "Description|pattern|Description|pattern".
    virtual std::optional<FileChoice> openFile(const std::string& startFolder, const std::string& filters,
                                               int filterIndex, const std::string& fileName) = 0;

    // The photo folder dialog, showing `shown`; its folder field and its
    // checkbox when closed with OK, nothing otherwise.
    virtual std::optional<PhotoFolderChoice> askPhotoFolder(const PhotoFolderChoice& shown) = 0;

    // The time offsets dialog, showing `fields`; the fields when closed with
    // OK, nothing otherwise.
    virtual std::optional<OffsetFields> askOffsets(const OffsetFields& fields) = 0;

    // Asks when the photograph `photoName` was really taken, to the second,
    // starting from `shownMs`; milliseconds since 1899-12-30, or nothing
    // when cancelled.
    virtual std::optional<int64_t> askShotTime(const std::string& photoName, int64_t shownMs) = 0;

    // Opens a file with the desktop's associated application; false when
    // none could be started.
    virtual bool openWithViewer(const std::string& path) = 0;
};

}  // namespace geovanta

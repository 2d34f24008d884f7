#pragma once
// The tag-writing commands: every placed photograph of the table with the
// console shown, or the photograph of the current row alone.

#include <optional>
#include <string>
#include <vector>

#include "output/consoleview.h"
#include "output/tagwriter.h"

namespace geovanta {

class DataTable;
class Dialogs;
class FolderLocks;

class TagCommands {
public:
    TagCommands(DataTable& table, ConsoleView& console, TagWriter& writer)
        : table_(table), console_(console), writer_(writer) {}

    struct PhotoOutcome {
        bool goOn = true;                    // false: the user aborted the batch
        bool attempted = false;              // a command ran (or was refused) for this row
        std::optional<std::string> failure;  // why the photograph was not written
    };
    // Writes the table's current row when it is a photograph with a position,
    // in an ExifTool of its own; it does not wait for another write in the
    // photograph's folder but fails, saying so. ExifTool's standard output replaces
    // `outputLines`; its standard error replaces the console's errors pane.
    // The cursor does not move.
    PhotoOutcome SetGPS2EXIF(std::vector<std::string>& outputLines);

    struct BatchOutcome {
        int written = 0;
        int notPlaced = 0;                  // photographs without a position
        int attempted = 0;                  // photographs with a position that were tried
        int notTried = 0;                   // photographs with a position left by an abort
        std::vector<std::string> failures;  // one line per photograph tried and not written
        bool aborted = false;

        // True when every photograph with a position was written.
        bool allWritten() const { return failures.empty() && notTried == 0; }
        // "GPS tags: 13 written, 7 not placed, 2 failed", and the photographs
        // an abort left untried.
        std::string summary() const;
    };
    // Writes every photograph in table order with the console shown, on as
    // many ExifTool processes as pay; the window keeps handling events
    // meanwhile. An abort lets the photographs being written finish and
    // starts no other. The batch holds the lock of every folder it writes
    // in, and waits while another write holds one.
    BatchOutcome writeAll();

    // All photographs; the summary closes the information pane, and an error
    // box lists the photographs not written.
    void writeAllPhotos(Dialogs& dialogs);
    // The current photograph, then a confirmation or an error naming it.
    void writeCurrentPhoto(Dialogs& dialogs);

private:
    // Waits, saying so, while another write holds one of the batch's
    // folders; false when the user aborted meanwhile.
    bool waitForFolders(FolderLocks& locks);

    DataTable& table_;
    ConsoleView& console_;
    TagWriter& writer_;
};

}  // namespace geovanta

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

class TagCommands {
public:
    TagCommands(DataTable& table, ConsoleView& console, TagWriter& writer)
        : table_(table), console_(console), writer_(writer) {}

    struct PhotoOutcome {
        bool goOn = true;                    // false: the user aborted the batch
        bool attempted = false;              // a command ran (or was refused) for this row
        std::optional<std::string> failure;  // why the photograph was not written
    };
    // Writes the table's current row when it is a photograph with a position.
    // ExifTool's standard output replaces `outputLines`; its standard error
    // replaces the console's errors pane. The cursor does not move.
    PhotoOutcome SetGPS2EXIF(std::vector<std::string>& outputLines);

    struct BatchOutcome {
        int attempted = 0;                  // photographs with a position that were tried
        std::vector<std::string> failures;  // one line per photograph not written
        bool aborted = false;
    };
    // Writes every photograph in table order with the console shown; an abort
    // is taken up after the photograph being written.
    BatchOutcome writeAll();

    // All photographs, then an error box counting the failures.
    void writeAllPhotos(Dialogs& dialogs);
    // The current photograph, then a confirmation or an error naming it.
    void writeCurrentPhoto(Dialogs& dialogs);

private:
    DataTable& table_;
    ConsoleView& console_;
    TagWriter& writer_;
};

}  // namespace geovanta

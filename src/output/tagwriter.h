#pragma once
// Writes the positions the binding pass gave to the photographs into their
// EXIF GPS tags, by running ExifTool once per photograph.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "output/commandrunner.h"
#include "output/consoleview.h"

namespace geovanta {

class DataTable;
class Dialogs;

class TagWriter {
public:
    TagWriter(DataTable& table, ConsoleView& console, CommandRunner& runner, std::string program);

    // exiftool in the folder of the running executable.
    static std::string defaultProgram();

    // ExifTool's arguments for a photograph row with a position.
    std::vector<std::string> arguments(std::size_t row) const;

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

    // The commands: all photographs, then an error box counting the failures;
    // the current photograph, then a confirmation or an error naming it.
    void ToolButton8Click(Dialogs& dialogs);
    void EXIF1Click(Dialogs& dialogs);

private:
    std::string failureLine(std::size_t row, const std::string& reason) const;

    DataTable& table_;
    ConsoleView& console_;
    CommandRunner& runner_;
    std::string program_;
};

}  // namespace geovanta

#include "app/commands/tagcommands.h"

#include "app/commands/dialogs.h"
#include "table/datatable.h"
#include "table/displaysuspension.h"
#include "table/position.h"

namespace geovanta {
namespace {

// Shown in the error box at most; the errors pane holds them all.
constexpr std::size_t kFailuresInBox = 10;

int photoRows(const DataTable& table) {
    int count = 0;
    for (std::size_t row = 0; row < table.rowCount(); ++row)
        if (table.isPhoto(row)) ++count;
    return count;
}

}  // namespace

TagCommands::PhotoOutcome TagCommands::SetGPS2EXIF(std::vector<std::string>& outputLines) {
    PhotoOutcome outcome;
    if (table_.isEmpty() || table_.eof()) return outcome;
    const std::size_t row = table_.recNo();
    if (!table_.isPhoto(row)) return outcome;
    if (!hasPosition(table_, row)) {
        console_.stepProgress();
        return outcome;
    }
    outcome.attempted = true;
    TagWriter::Result result = writer_.write(table_, row);
    outputLines = std::move(result.outputLines);
    outcome.failure = std::move(result.failure);
    console_.replaceErrors(result.errorLines);
    console_.processPendingEvents();
    outcome.goOn = !console_.abortRequested();
    console_.stepProgress();
    return outcome;
}

TagCommands::BatchOutcome TagCommands::writeAll() {
    BatchOutcome batch;
    if (table_.isEmpty()) return batch;
    console_.setProgressMaximum(photoRows(table_));
    console_.showConsole();
    console_.setProgressPosition(0);

    // Runs however the walk ends, so that the main window never stays
    // disabled after an error; the grid resumes first (declared last).
    struct Finish {
        ConsoleView& console;
        ~Finish() {
            console.setProgressPosition(0);
            console.closeConsole();
        }
    };
    Finish finish{console_};
    DisplaySuspension suspended(table_);

    std::vector<std::string> lines;
    for (table_.first(); !table_.eof(); table_.next()) {
        if (!table_.isPhoto(table_.recNo())) continue;
        lines.clear();
        const PhotoOutcome photo = SetGPS2EXIF(lines);
        if (photo.attempted) ++batch.attempted;
        if (photo.failure) batch.failures.push_back(*photo.failure);
        if (!photo.goOn) {
            batch.aborted = true;
            break;
        }
        console_.appendInfo(lines);
    }
    if (!batch.failures.empty()) console_.replaceErrors(batch.failures);
    return batch;
}

void TagCommands::writeAllPhotos(Dialogs& dialogs) {
    const BatchOutcome batch = writeAll();
    if (batch.failures.empty()) return;
    std::string text = "GPS tags were not written to " + std::to_string(batch.failures.size()) + " of " +
                       std::to_string(batch.attempted) + " photos:";
    for (std::size_t i = 0; i < batch.failures.size() && i < kFailuresInBox; ++i) text += "\n" + batch.failures[i];
    if (batch.failures.size() > kFailuresInBox) text += "\n...";
    dialogs.showMessage(MessageKind::Failure, failureText(text));
}

void TagCommands::writeCurrentPhoto(Dialogs& dialogs) {
    std::vector<std::string> lines;
    const PhotoOutcome photo = SetGPS2EXIF(lines);
    // Only a placed photograph can get here from the grid; anything else
    // wrote nothing, so nothing is confirmed.
    if (!photo.attempted) return;
    console_.replaceInfo(lines);
    if (photo.failure) {
        dialogs.showMessage(MessageKind::Failure, failureText("Cannot write the GPS tags of " + *photo.failure));
        return;
    }
    dialogs.showMessage(MessageKind::Plain, "Координаты записаны");
}

}  // namespace geovanta

#pragma once
// The tag-writing commands: every placed photograph of the table with the
// console shown, or the photograph of the current row alone. Each runs in
// three steps, so that a window can write on a thread of its own while its
// own thread goes on: begin and finish on the table's thread, run between
// them on any thread, abort from any thread. One object may run one command
// after another.

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "output/consoleview.h"
#include "output/tagbatch.h"
#include "output/tagwriter.h"

namespace geovanta {

class DataTable;
class Dialogs;
class Document;

// The console's choice of XMP files beside the photographs: in force from
// the next write and saved as "WriteSidecars"; a settings file that cannot
// be written is said in a box.
void chooseSidecars(Document& document, Dialogs& dialogs, bool on);
// Where the document's settings send the positions.
Sidecars sidecarsOf(const Document& document);

class TagCommands {
public:
    TagCommands(DataTable& table, ConsoleView& console, TagWriter& writer, TagBatch::Settings settings = {});
    ~TagCommands();
    TagCommands(const TagCommands&) = delete;
    TagCommands& operator=(const TagCommands&) = delete;

    // Where the next command writes the positions: into the photographs (as
    // at first) or into the XMP files beside them.
    void setSidecars(Sidecars sidecars) { sidecars_ = sidecars; }

    struct BatchOutcome {
        int written = 0;
        int notPlaced = 0;                  // photographs without a position
        int attempted = 0;                  // photographs with a position that were tried
        int notTried = 0;                   // photographs with a position the batch did not reach
        std::vector<std::string> failures;  // one line per photograph tried and not written
        std::vector<std::string> untried;   // one line per photograph not tried, with the reason
        bool aborted = false;
        bool sidecars = false;              // the positions went into XMP files

        // True when every photograph with a position was written.
        bool allWritten() const { return failures.empty() && notTried == 0; }
        // "GPS tags: 13 written, 7 not placed, 2 failed" ("XMP files: ..."
        // for positions written beside the photographs), and the
        // photographs the batch did not reach.
        std::string summary() const;
    };

    // On the table's thread: the jobs for every placed photograph, the
    // console shown empty. False, with nothing shown, for an empty table.
    bool beginAll();
    // On the table's thread: the job for the current row; false when it is
    // no photograph with a position.
    bool beginCurrent();
    // On any thread, after a begin: writes, blocking, until every job is
    // done or the batch is aborted or stopped.
    void run();
    // From any thread, between a begin and the end of run(): starts nothing
    // more, and ends ExifTool under the photographs in flight after a short
    // grace.
    void abort() {
        if (batch_) batch_->abort();
    }
    // On the table's thread, after run(): the table learns the files
    // ExifTool rewrote, the cursor stops where the batch did, and the
    // console ends with the summary and every photograph not written.
    BatchOutcome finishAll();
    // The same, and an error box lists the photographs not written.
    void finishAllPhotos(Dialogs& dialogs);
    // On the table's thread, after run(): a confirmation, or an error naming
    // the photograph.
    void finishCurrent(Dialogs& dialogs);

    // The steps one after another on the calling thread.
    BatchOutcome writeAll();
    void writeAllPhotos(Dialogs& dialogs);
    void writeCurrentPhoto(Dialogs& dialogs);

private:
    class Report;

    // Forgets the last command and makes the batch for the next.
    void reset();

    DataTable& table_;
    ConsoleView& console_;
    TagWriter& writer_;
    TagBatch::Settings settings_;
    std::unique_ptr<TagBatch> batch_;
    std::vector<TagJob> jobs_;
    std::vector<std::size_t> rows_;           // the row of each job
    std::vector<int> unplacedBefore_;         // photographs without a position just before each job
    int unplacedAfter_ = 0;                   // and after the last
    int notPlaced_ = 0;
    bool single_ = false;                     // the current photograph alone
    Sidecars sidecars_ = Sidecars::None;
    std::optional<TagBatch::Outcome> outcome_;
};

}  // namespace geovanta

#pragma once
// Writing the placed photographs' positions into their GPS tags (or into
// the XMP files beside them): one operation for the window, which runs it on
// a thread of its own, and for geovanta-cli, which runs it inline.
//
//  - begin, on the document's thread: the write takes a lease on the table,
//    so that no row it writes for changes meanwhile, takes from the rows
//    what it writes, shows the console and arms the abort;
//  - run, on any thread: the checks of each file, then the batch;
//  - finish, on the document's thread: what ExifTool rewrote goes back into
//    the table through the document, the lease ends, the console's abort is
//    disarmed and the summary comes.
// abort() may come from any thread at any time, also before the checks; the
// console reaches the write only while it lives, so closing the console or
// the window after the write has gone is harmless. The write holds what it
// needs of ExifTool itself and so outlives every window that can reach it.

#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/document.h"
#include "output/consoleview.h"
#include "output/tagbatch.h"
#include "output/tagwriter.h"
#include "output/toolsession.h"

namespace geovanta {

class TagWrite : public std::enable_shared_from_this<TagWrite> {
public:
    enum class Scope { All, Current };

    struct Settings {
        TagBatch::Settings batch;
        Sidecars sidecars = Sidecars::None;  // into the photographs, or XMP files beside them
        // The zone found for a camera on local time goes in too (TagWriter::addZone).
        bool writeZones = false;
    };

    struct Outcome {
        int written = 0;
        int notPlaced = 0;                  // photographs without a position
        int attempted = 0;                  // photographs with a position that were tried
        int notTried = 0;                   // photographs with a position the batch did not reach
        std::vector<std::string> failures;  // one line per photograph tried and not written
        std::vector<std::string> untried;   // one line per photograph not tried, with the reason
        bool aborted = false;
        bool sidecars = false;  // the positions went into XMP files
        bool single = false;    // the current photograph alone

        // True when every photograph with a position was written.
        bool allWritten() const { return failures.empty() && notTried == 0; }
        // "GPS tags: 13 written, 7 not placed, 2 failed" ("XMP files: ..."
        // for positions written beside the photographs), and the
        // photographs the batch did not reach.
        std::string summary() const;
    };

    // What begin() came to: the write, or why there is none. Neither for a
    // table with nothing to write (empty, or no placed photograph current).
    struct Begun {
        std::shared_ptr<TagWrite> write;
        std::optional<std::string> refusal;  // the table is held by other work
    };
    static Begun begin(Document& document, ConsoleView& console, std::shared_ptr<SessionFactory> sessions,
                       Scope scope, Settings settings);
    ~TagWrite();

    void run();
    void abort();
    Outcome finish();

    // The three steps at once on the calling thread; nothing for nothing to write.
    static std::optional<Outcome> writeInline(Document& document, ConsoleView& console,
                                              std::shared_ptr<SessionFactory> sessions, Scope scope,
                                              Settings settings, std::optional<std::string>* refusal = nullptr);

    TagWrite(const TagWrite&) = delete;
    TagWrite& operator=(const TagWrite&) = delete;

private:
    class Report;
    TagWrite(Document& document, Document::Lease lease, ConsoleView& console, std::shared_ptr<SessionFactory> sessions,
             Settings settings);
    // The jobs, from the rows, on the document's thread.
    void takeAll();
    bool takeCurrent();
    void disarm();

    Document& document_;
    std::optional<Document::Lease> lease_;
    ConsoleView& console_;
    std::shared_ptr<SessionFactory> sessions_;
    TagWriter writer_;
    Settings settings_;
    TagBatch batch_;
    std::vector<TagJob> jobs_;
    std::vector<std::size_t> rows_;    // the row of each job
    std::vector<int> unplacedBefore_;  // photographs without a position just before each job
    int unplacedAfter_ = 0;            // and after the last
    int notPlaced_ = 0;
    bool single_ = false;
    std::once_flag disarmed_;
    std::optional<TagBatch::Outcome> outcome_;
};

}  // namespace geovanta

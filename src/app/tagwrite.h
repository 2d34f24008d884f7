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
#include "app/consoleview.h"
#include "output/tagbatch.h"
#include "output/tagwriter.h"
#include "output/toolsession.h"

namespace geovanta {

// What the document's state asks to write with the positions: place names,
// the direction of travel, and the pass's rules to find it by.
TagContent tagContent(const ProgramState& state);

class TagWrite : public std::enable_shared_from_this<TagWrite> {
public:
    enum class Scope { All, Current };

    // What the photographer chose beforehand; without a choice, every placed
    // photograph is written itself and nothing else is touched.
    struct Settings {
        TagBatch::Settings batch;
        // How the XMP files beside the photographs are named; None: the
        // positions go into the photographs themselves.
        Sidecars sidecars = Sidecars::None;
        // With sidecars: only raw files get XMP files, the others are written
        // themselves.
        bool rawOnly = false;
        // A photograph that carried a position of its own when it was
        // scanned is left as it is.
        bool keepExisting = false;
        // A photograph without a position has its GPS record taken out: a
        // position written before an offset changed is no longer true.
        bool clearUnplaced = false;
        // What goes with the position.
        TagContent content;
        // The zone found for a camera on local time goes in too (TagWriter::addZone).
        bool writeZones = false;
    };

    struct Outcome {
        int written = 0;          // files a position went into, each once: photographs and XMP files
        int sidecarsWritten = 0;  // of them XMP files
        int notPlaced = 0;        // photographs without a position
        int attempted = 0;        // photographs that were tried
        int notTried = 0;         // photographs the batch did not reach
        int kept = 0;             // photographs left with the position they carried
        int cleared = 0;          // files whose GPS record was taken out
        std::vector<std::string> failures;  // one line per photograph tried and not written
        std::vector<std::string> untried;   // one line per photograph not tried, with the reason
        std::vector<std::string> keptLines; // one line per photograph kept
        bool aborted = false;
        bool sidecars = false;  // every position went into XMP files
        bool mixed = false;     // raw files' into XMP files, the others' into the photographs
        bool single = false;    // the current photograph alone

        // True when every photograph with a position was written or kept.
        bool allWritten() const { return failures.empty() && notTried == 0; }
        // "GPS tags: 13 written, 7 not placed, 2 failed" ("XMP files: ..."
        // for positions written beside the photographs, "Written: 3 into
        // photos, 2 into XMP files; ..." for both), what was kept and
        // cleared, and the photographs the batch did not reach.
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

    // The console's first lines: the choices the write is made with.
    static std::vector<std::string> choiceLines(const Settings& settings);

    TagWrite(const TagWrite&) = delete;
    TagWrite& operator=(const TagWrite&) = delete;

private:
    class Report;
    TagWrite(Document& document, Document::Lease lease, ConsoleView& console, std::shared_ptr<SessionFactory> sessions,
             Settings settings);
    // The jobs, from the rows, on the document's thread.
    void takeAll();
    void takeCurrent();
    // Where the row's position goes.
    Sidecars sidecarsFor(const DataTable& table, std::size_t row) const;
    // A photograph that is no job: its line, and when kept, the count.
    void addQuiet(std::string line);
    void disarm();

    Document& document_;
    std::optional<Document::Lease> lease_;
    ConsoleView& console_;
    std::shared_ptr<SessionFactory> sessions_;
    TagWriter writer_;
    Settings settings_;
    TagBatch batch_;
    std::vector<TagJob> jobs_;
    std::vector<std::size_t> rows_;  // the row of each job
    std::vector<std::string> leads_; // of each job: the line that tells why it is cleared, or none
    // Photographs that are no job (not placed, or kept), each with its line
    // in table order; quietEnd_[j] of them come before job j.
    std::vector<std::string> quiet_;
    std::vector<std::size_t> quietEnd_;
    std::size_t quietShown_ = 0;  // shown so far, on the batch's thread until run() returns
    int notPlaced_ = 0;
    std::vector<std::string> keptLines_;
    bool single_ = false;
    std::once_flag disarmed_;
    std::optional<TagBatch::Outcome> outcome_;
};

}  // namespace geovanta

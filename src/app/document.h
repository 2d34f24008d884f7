#pragma once
// What the program holds while it runs: the record table, the state read
// from the settings file, and every file and folder loaded, in order. The
// main window and geovanta-cli both act on one through the commands; the
// window only shows it.
//
// The document is the one thing that changes the table. Everything else
// reads it through a const reference; the changes a person can make (edits,
// rows inserted and deleted, photographs placed by hand and its undo, the
// table cleared) are the document's operations, and long work (loads, the
// pass, the tag write) takes a lease on it. While a lease is out the table's
// rows are someone else's to replace or rely on, so every change is refused
// with the reason the person is shown: one rule, here.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/handhistory.h"
#include "app/programstate.h"
#include "app/settings.h"
#include "app/sourceidentity.h"
#include "table/datatable.h"

namespace geovanta {

class FileRewrites;

struct LoadedSource {
    enum class Kind { GpsFile, PhotoFolder };
    Kind kind = Kind::GpsFile;
    std::string path;  // as it was given
    // The file or folder: its canonical path, and its stamp to follow a rename.
    SourceIdentity identity;
    // Creation numbers of the rows the latest load of a GPS file added:
    // first to end, the end not included.
    uint64_t firstRow = 0;
    uint64_t endRow = 0;
};

class Document {
public:
    Document(ProgramState state, SettingsFile settings) : state_(std::move(state)), settings_(std::move(settings)) {}
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    const DataTable& table() const { return table_; }
    ProgramState& state() { return state_; }
    const ProgramState& state() const { return state_; }
    const SettingsFile& settings() const { return settings_; }
    BindingParams params() const { return bindingParams(state_); }
    const HandHistory& handHistory() const { return handHistory_; }

    // ---- the rule ----------------------------------------------------------

    // Long work's hold on the table: a load or the pass working on a copy of
    // the rows that will take the table's place, or the tag write, whose
    // photographs are the rows'. Only one at a time; it ends when the lease
    // goes.
    class Lease {
    public:
        Lease(Lease&& other) noexcept : document_(other.document_) { other.document_ = nullptr; }
        Lease& operator=(Lease&& other) noexcept {
            if (this != &other) {
                end();
                document_ = other.document_;
                other.document_ = nullptr;
            }
            return *this;
        }
        ~Lease() { end(); }

        // The table itself, for work done in place (geovanta-cli runs its jobs so).
        DataTable& rows() { return document_->table_; }
        // Work done on a copy: its rows take the table's place.
        void replaceRows(DataTable& done) { document_->table_.takeRows(done); }
        void end();

    private:
        friend class Document;
        explicit Lease(Document* document) : document_(document) {}
        Document* document_;
    };
    // A lease for `what` ("walk.plt"), storing any edit in progress first;
    // nothing while another lease is out.
    std::optional<Lease> lease(std::string what);
    // What holds the table now; nothing when it is free.
    const std::optional<std::string>& holder() const { return holder_; }
    bool busy() const { return holder_.has_value(); }
    // Why a change cannot be made now, as the person is told; nothing when
    // it can.
    std::optional<std::string> refusal() const;
    // Called whenever the table becomes free again, until removed with the
    // number this returns.
    int onFree(std::function<void()> listener);
    void removeFreeListener(int id);
    // Views follow the table through its listener.
    void setTableListener(DataTableListener* listener) { table_.setListener(listener); }

    // ---- the changes: each returns why it was not made, or nothing ---------

    // The grid's current row. Only the cursor moves: an edit in progress is
    // stored, an untouched new row dropped, and neither is there while the
    // table is held. Returns the row current afterwards.
    std::size_t moveTo(std::size_t row);
    // One field of `row` as text, by the table's value rules.
    std::optional<std::string> setField(std::size_t row, FieldId field, std::string_view text);
    // A new empty row before the current one, or at the end; the row current
    // afterwards is the new one.
    std::optional<std::string> insertRow();
    std::optional<std::string> appendRow();
    // Drops the edit in progress or the new row nothing was typed into.
    void cancelRow();
    std::optional<std::string> deleteCurrentRow();

    // Photographs placed by hand (see HandPlacement for each step).
    struct HandResult {
        std::optional<std::string> refusal;
        std::optional<std::size_t> row;  // the step's first photograph still in the table
        std::optional<uint64_t> photo;   // its creation number
        bool passNeeded = false;         // a photograph went back to the pass
    };
    HandResult placeByHand(const std::vector<std::size_t>& rows, double lat, double lon);
    HandResult releaseHand(std::size_t row);
    HandResult undoHand();
    HandResult redoHand();

    // The files the tag write put new ones in place of, and where its cursor
    // ends; applied with the write's lease.
    void applyRewrites(Lease& lease, const FileRewrites& rewrites, std::optional<std::size_t> cursor);

    // Empties the table and forgets what was loaded and placed by hand;
    // track numbers start again.
    std::optional<std::string> clear();

    // ---- what was loaded ---------------------------------------------------

    const std::vector<LoadedSource>& sources() const { return sources_; }
    // The earlier load of the file or folder `path` names, if any: the same
    // canonical path, or the same file renamed since.
    std::optional<LoadedSource> loadedBefore(LoadedSource::Kind kind, const std::string& path) const;
    // Remembers a load; it takes the place of an earlier load of the same
    // file or folder.
    void noteLoaded(LoadedSource source);

private:
    HandResult named(HandResult result);

    DataTable table_;
    ProgramState state_;
    SettingsFile settings_;
    std::vector<LoadedSource> sources_;
    HandHistory handHistory_;
    std::optional<std::string> holder_;
    std::vector<std::pair<int, std::function<void()>>> freeListeners_;
    int nextListener_ = 0;
};

}  // namespace geovanta

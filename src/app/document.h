#pragma once
// What the program holds while it runs: the record table, the state read
// from the settings file, and every file and folder loaded, in order. The
// main window and geovanta-cli both act on one through the commands; the
// window only shows it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/programstate.h"
#include "app/settings.h"
#include "table/datatable.h"
#include "table/filestamp.h"

namespace geovanta {

struct LoadedSource {
    enum class Kind { GpsFile, PhotoFolder };
    Kind kind = Kind::GpsFile;
    std::string path;  // as it was given
    // The file or folder itself (device and inode), so that it is known
    // again however it is named; nothing when it could not be looked at.
    std::optional<FileStamp> identity;
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

    DataTable& table() { return table_; }
    const DataTable& table() const { return table_; }
    ProgramState& state() { return state_; }
    const ProgramState& state() const { return state_; }
    const SettingsFile& settings() const { return settings_; }
    BindingParams params() const { return bindingParams(state_); }

    const std::vector<LoadedSource>& sources() const { return sources_; }
    // The earlier load of the file or folder `path` names, if any.
    std::optional<LoadedSource> loadedBefore(LoadedSource::Kind kind, const std::string& path) const;
    // Remembers a load; it takes the place of an earlier load of the same
    // file or folder.
    void noteLoaded(LoadedSource source);
    // The identity loads are told apart by.
    static std::optional<FileStamp> identityOf(const std::string& path);

    // Empties the table and forgets what was loaded; track numbers start again.
    void clear();

private:
    static bool sameSource(const LoadedSource& a, const LoadedSource& b);

    DataTable table_;
    ProgramState state_;
    SettingsFile settings_;
    std::vector<LoadedSource> sources_;
};

}  // namespace geovanta

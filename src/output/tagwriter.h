#pragma once
// Writes photographs' positions into their EXIF GPS tags through ExifTool:
// the arguments built from a photograph's row, and the step that hands one
// photograph to an ExifTool session.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "binding/calcpositions.h"
#include "output/sidecarfile.h"
#include "output/toolsession.h"
#include "table/filestamp.h"

namespace geovanta {

class DataTable;

// One photograph to write, taken from its row on the table's thread so that
// the write itself can run on another.
struct TagJob {
    std::size_t row = 0;
    std::string fileName;                // the row's FileName, bytes as stored
    std::string resolved;                // where it led when the job was made; empty: nowhere
    std::optional<FileStamp> stamp;      // its file as scanned, when known
    std::vector<std::string> args;       // ExifTool's arguments
    std::optional<std::string> refusal;  // why it is not handed to ExifTool at all
    std::vector<std::string> notes;      // for the console once written: what was left out of it
    // This program holds its folder's lock: no other write of this program
    // is under way there, so a temporary file of ExifTool found beside the
    // photograph was left by an earlier write cut short.
    bool folderLocked = false;
    // The XMP file that takes the position instead of the photograph, and
    // how it was found when the job was made; empty: the photograph is written.
    std::string sidecar;
    SidecarSeen sidecarSeen;
    // The GPS record is taken out instead of a position written: the
    // photograph is no longer placed. A missing XMP file is not made for it.
    bool clear = false;
    double lat = 0, lon = 0;  // the position written, for rows whose file is one
};

// What a write adds to the position.
struct TagContent {
    // The row's place names: XMP's photoshop:City, State, Country and
    // Iptc4xmpCore:CountryCode, and IPTC's location records where the
    // photograph has IPTC records (PhotoFacts::iptc).
    bool placeNames = false;
    // GPSImgDirection (true north) and GPSSpeed (km/h) of the leg the pass
    // placed the photograph on, by `params`, while moving (binding/travel.h).
    bool direction = false;
    BindingParams params;
};

// The file a job hands to ExifTool, as its name led when the job was made
// (the XMP file's with the folders on the way resolved and its own name kept,
// a link there not followed), and the folder it lies in, where ExifTool puts
// its temporary file.
std::string writtenPath(const TagJob& job);
std::string writtenFolder(const TagJob& job);

class TagWriter {
public:
    explicit TagWriter(SessionFactory& sessions) : sessions_(sessions) {}

    const std::string& program() const { return sessions_.program(); }
    SessionFactory& sessions() { return sessions_; }

    // ExifTool's arguments for a photograph row with a position.
    static std::vector<std::string> arguments(const DataTable& table, std::size_t row,
                                              const TagContent& content = {});
    // The same for its XMP file `sidecar`. Either replaces the whole GPS
    // record: no tag of an earlier position stays beside the new one.
    static std::vector<std::string> sidecarArguments(const DataTable& table, std::size_t row,
                                                     const std::string& sidecar, const TagContent& content = {});
    // Arguments that take every GPS tag out of `file`, a photograph or an
    // XMP file, and nothing else.
    static std::vector<std::string> clearArguments(const std::string& file, bool photo);
    // With the zone the pass read a camera on local time by: its offset into
    // OffsetTimeOriginal, and into OffsetTime where the file has none, so
    // that other programs need not guess. Nothing for a job refused, an XMP
    // file (XMP keeps the zone inside the time itself) or a photograph
    // without a zone found on the track.
    static void addZone(TagJob& job, const DataTable& table, std::size_t row);
    // The job for a photograph row with a position, from the row alone.
    static TagJob job(const DataTable& table, std::size_t row, Sidecars sidecars = Sidecars::None,
                      const TagContent& content = {});
    // The job that takes the GPS record out of a photograph row without one,
    // or out of its XMP file.
    static TagJob clearJob(const DataTable& table, std::size_t row, Sidecars sidecars = Sidecars::None);
    // Looks at the job's files as they are before the batch: where the
    // photograph's name leads, and what stands in its XMP file's place.
    // Safe on any thread; every job is looked at once before it is written.
    static void look(TagJob& job);

    struct Result {
        std::vector<std::string> outputLines;  // ExifTool's standard output
        std::vector<std::string> errorLines;   // its standard error, then our own reason
        std::optional<std::string> failure;    // why the photograph was not written, with its name
        std::string reason;                    // the same without the name
        CommandResult::Outcome outcome = CommandResult::Outcome::NotStarted;  // of ExifTool's run
        std::vector<std::string> notes;        // what was done besides, for the console
        bool ran = false;                      // handed to ExifTool, rather than refused before
        std::optional<FileStamp> written;      // the new file's stamp, when ExifTool wrote one
        bool changed = false;                  // ExifTool put a new file in place of the one it was given
    };
    // Writes one photograph in `session`, waiting for ExifTool within
    // `limits`; safe on any thread that owns the session. Every check on the
    // file comes once ExifTool is ready to take it: a file that is not the
    // one scanned, not a regular file or read-only is refused, and a
    // symbolic link is written through to its target. A job with an XMP
    // file checks the photograph the same way, but only reads it, and
    // checks the XMP file (sidecarfile.h), making a new one itself. A link
    // or anything but a file in the place of ExifTool's temporary file is
    // refused, and a file found replaced by one after ExifTool wrote it is
    // reported as not written.
    Result write(ToolSession& session, const TagJob& job, const CommandLimits& limits) const;
    // A job refused before ExifTool is asked: `reason` says why, of the
    // photograph or of the file `name`.
    static Result refused(const TagJob& job, const std::string& reason);
    static Result refusedAs(std::string_view name, const std::string& reason);

    // "\"<file name>\": <reason>" as failures are listed.
    static std::string failureLine(std::string_view fileName, const std::string& reason);

private:
    SessionFactory& sessions_;
};

}  // namespace geovanta

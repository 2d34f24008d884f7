#pragma once
// The one list of the files Geovanta reads: for each format its extensions,
// its reader, the text of its entry in the open dialog's filter and what it
// holds. The open dialog, files named on the command line, geovanta-cli, the
// photo folder scanner and the help texts all ask here, so a new format is
// one entry and its reader.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "input/gpsread.h"
#include "table/messages.h"

namespace geovanta {

// What a format's files hold for the table.
enum class FormatKind {
    Track,      // track points, and waypoints where the format has them
    Waypoints,  // waypoints alone
    Photos,     // photographs, read by the photo scanner
};

struct FileFormat {
    std::string_view id;  // short and stable: "plt", "gpx", "jpeg"
    FormatKind kind;
    // Extensions with their dots, in lower case; a file's name matches in any
    // letter case.
    std::span<const std::string_view> extensions;
    // Extensions other formats use too (".txt", ".log", ".json"): a file with
    // one is of this format only when `recognise` says so from its first bytes.
    std::span<const std::string_view> sharedExtensions;
    Msg filterName;  // the entry in the open dialog: "Треки OziExplorer"
    GpsReaderFn read = nullptr;  // nullptr for photographs
    bool (*recognise)(std::string_view head) = nullptr;
    // For formats whose files reach hundreds of megabytes: a reader that
    // takes an uncompressed file from the disk itself, a piece at a time,
    // instead of its bytes read whole.
    GpsFileReaderFn readFile = nullptr;
    // read.path names a folder of photographs, read by readFile alone.
    bool photoFolder = false;

    bool isGps() const { return kind != FormatKind::Photos; }
};

// Every format, GPS files first in the order of the open dialog.
std::span<const FileFormat> fileFormats();

// The compressed wrapper any GPS file may come in: "walk.gpx.gz".
inline constexpr std::string_view kGzipExtension = ".gz";

// What a file's name says of it: the format its extension claims, and
// whether it is gzip-compressed. When only a shared extension matches, the
// candidates are all the formats that may take it.
struct NameMatch {
    const FileFormat* format = nullptr;  // claimed outright by the extension
    std::vector<const FileFormat*> candidates;  // to be told apart by content
    bool compressed = false;
    bool any() const { return format || !candidates.empty(); }
};
NameMatch matchName(std::string_view path);

// The GPS format of a file: by its extension, and for a shared extension by
// its first bytes (read here, decompressed when the name ends in ".gz").
// Nothing for a file of no GPS format.
const FileFormat* gpsFormatOf(const std::string& path);
// Among `candidates`, the first whose content test takes `head`.
const FileFormat* recognise(const std::vector<const FileFormat*>& candidates, std::string_view head);

// A photograph's file, by its extension in any case.
bool isPhotoName(std::string_view name);

// The open dialog's filter list, "Description|patterns|…", every GPS format
// in order and last "Все файлы GPS"; its entries are numbered from 1.
std::string gpsDialogFilters();
// The entry for all GPS files, which leaves the reader to the file.
int allGpsFilterIndex();
// The format of a filter entry; nullptr for "Все файлы GPS".
const FileFormat* formatOfFilter(int filterIndex);
// The entry that shows `path`'s format; allGpsFilterIndex() when its name
// names none alone.
int filterIndexFor(std::string_view path);

// The formats for a help text, one line each: "  GPX        .gpx" with the
// description in the process's language.
std::string formatListText(FormatKind kind);

}  // namespace geovanta

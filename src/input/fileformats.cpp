#include "input/fileformats.h"

#include <array>
#include <fstream>

#include "input/fitreader.h"
#include "input/gpxreader.h"
#include "input/gzipfile.h"
#include "input/locationhistoryreader.h"
#include "input/kmlreader.h"
#include "input/tcxreader.h"
#include "input/igcreader.h"
#include "input/nmeareader.h"
#include "input/trackreader.h"
#include "input/waypointreader.h"
#include "table/asciicase.h"

namespace geovanta {
namespace {

using Extensions = std::array<std::string_view, 1>;

constexpr Extensions kPlt{".plt"};
constexpr Extensions kWpt{".wpt"};
constexpr Extensions kGpx{".gpx"};
constexpr Extensions kFit{".fit"};
constexpr Extensions kJson{".json"};
constexpr Extensions kTcx{".tcx"};
constexpr std::array<std::string_view, 2> kKml{".kml", ".kmz"};
constexpr std::array<std::string_view, 2> kNmea{".nmea", ".nma"};
// Loggers and terminal programs save sentences under names of their own.
constexpr std::array<std::string_view, 2> kNmeaShared{".log", ".txt"};
constexpr Extensions kIgc{".igc"};
constexpr std::array<std::string_view, 2> kJpeg{".jpg", ".jpeg"};
constexpr std::array<std::string_view, 15> kTiff{".tif", ".tiff", ".dng", ".nef", ".nrw", ".cr2", ".arw", ".sr2",
                                                  ".srf", ".orf", ".rw2", ".pef", ".srw", ".3fr", ".iiq"};
constexpr Extensions kCr3{".cr3"};
constexpr Extensions kCrw{".crw"};
constexpr Extensions kRaf{".raf"};
constexpr std::array<std::string_view, 4> kHeif{".heic", ".heif", ".hif", ".avif"};

const std::array<FileFormat, 15> kFormats{{
    {"plt", FormatKind::Track, kPlt, {}, Msg::FormatPlt, &readPlt},
    {"wpt", FormatKind::Waypoints, kWpt, {}, Msg::FormatWpt, &readWpt},
    {"gpx", FormatKind::Track, kGpx, {}, Msg::FormatGpx, &readGpx},
    {"fit", FormatKind::Track, kFit, {}, Msg::FormatFit, &readFit, &looksLikeFit},
    {"locationhistory", FormatKind::Track, {}, kJson, Msg::FormatLocationHistory, &readLocationHistory,
     &looksLikeLocationHistory, &readLocationHistoryFile},
    {"tcx", FormatKind::Track, kTcx, {}, Msg::FormatTcx, &readTcx},
    {"kml", FormatKind::Track, kKml, {}, Msg::FormatKml, &readKml},
    {"nmea", FormatKind::Track, kNmea, kNmeaShared, Msg::FormatNmea, &readNmea, &looksLikeNmea},
    {"igc", FormatKind::Track, kIgc, {}, Msg::FormatIgc, &readIgc},
    {"jpeg", FormatKind::Photos, kJpeg, {}, Msg::FormatJpeg},
    {"tiff", FormatKind::Photos, kTiff, {}, Msg::FormatTiff},
    {"cr3", FormatKind::Photos, kCr3, {}, Msg::FormatCr3},
    {"crw", FormatKind::Photos, kCrw, {}, Msg::FormatCrw},
    {"raf", FormatKind::Photos, kRaf, {}, Msg::FormatRaf},
    {"heif", FormatKind::Photos, kHeif, {}, Msg::FormatHeif},
}};

// Enough of a file's start for every content test; of a compressed file,
// enough to inflate that much, and a bound on what that may give.
constexpr std::size_t kHeadBytes = 4096;
constexpr std::size_t kCompressedHeadBytes = 16384;
constexpr uint64_t kInflatedHeadLimit = uint64_t{64} << 20;

std::string_view baseName(std::string_view path) {
#ifdef _WIN32
    const std::size_t slash = path.find_last_of("/\\:");
#else
    const std::size_t slash = path.rfind('/');
#endif
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The extension of `name` from its last dot, in lower case; empty when the
// name has none.
std::string extensionOf(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return {};
    return asciiLower(name.substr(dot));
}

bool contains(std::span<const std::string_view> list, std::string_view ext) {
    for (std::string_view e : list)
        if (e == ext) return true;
    return false;
}

std::string patternsOf(const FileFormat& f, bool compressedToo) {
    std::string out;
    const auto add = [&](std::string_view ext) {
        if (!out.empty()) out += ';';
        out += '*';
        out += asciiUpper(ext);
        if (compressedToo) {
            out += ";*";
            out += asciiUpper(ext);
            out += asciiUpper(kGzipExtension);
        }
    };
    for (std::string_view e : f.extensions) add(e);
    for (std::string_view e : f.sharedExtensions) add(e);
    return out;
}

std::vector<const FileFormat*> gpsFormats() {
    std::vector<const FileFormat*> out;
    for (const FileFormat& f : kFormats)
        if (f.isGps()) out.push_back(&f);
    return out;
}

}  // namespace

std::span<const FileFormat> fileFormats() { return kFormats; }

NameMatch matchName(std::string_view path) {
    NameMatch match;
    std::string_view name = baseName(path);
    std::string ext = extensionOf(name);
    if (ext == kGzipExtension) {
        match.compressed = true;
        name.remove_suffix(kGzipExtension.size());
        ext = extensionOf(name);
    }
    if (ext.empty()) return match;
    for (const FileFormat& f : kFormats) {
        // Photographs never come compressed.
        if (match.compressed && !f.isGps()) continue;
        if (contains(f.extensions, ext)) {
            match.format = &f;
            match.candidates.clear();
            return match;
        }
        if (contains(f.sharedExtensions, ext)) match.candidates.push_back(&f);
    }
    return match;
}

const FileFormat* recognise(const std::vector<const FileFormat*>& candidates, std::string_view head) {
    for (const FileFormat* f : candidates)
        if (f->recognise && f->recognise(head)) return f;
    return nullptr;
}

const FileFormat* gpsFormatOf(const std::string& path) {
    const NameMatch match = matchName(path);
    if (match.format) return match.format->isGps() ? match.format : nullptr;
    if (match.candidates.empty()) return nullptr;
    std::string head(match.compressed ? kCompressedHeadBytes : kHeadBytes, '\0');
    std::ifstream in(path, std::ios::binary);
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    if (!match.compressed && !looksLikeGzip(head)) return recognise(match.candidates, head);
    // The start of the stream inside: a cut stream keeps what came before the cut.
    FileBytes inflated;
    const GzipResult result = inflateGzip(head, path, inflated, kInflatedHeadLimit);
    if (result.status != GzipResult::Status::Whole && result.status != GzipResult::Status::Damaged) return nullptr;
    return recognise(match.candidates, inflated.view().substr(0, kHeadBytes));
}

bool isPhotoName(std::string_view name) {
    const NameMatch match = matchName(name);
    return match.format && match.format->kind == FormatKind::Photos && !match.compressed;
}

std::string gpsDialogFilters() {
    std::string out, all;
    for (const FileFormat* f : gpsFormats()) {
        const std::string patterns = patternsOf(*f, true);
        out += textOf(f->filterName) + '|' + patterns + '|';
        all += (all.empty() ? "" : ";") + patterns;
    }
    return out + textOf(Msg::FormatAllGps) + '|' + all;
}

int allGpsFilterIndex() { return static_cast<int>(gpsFormats().size()) + 1; }

const FileFormat* formatOfFilter(int filterIndex) {
    const std::vector<const FileFormat*> gps = gpsFormats();
    if (filterIndex < 1 || filterIndex > static_cast<int>(gps.size())) return nullptr;
    return gps[static_cast<std::size_t>(filterIndex - 1)];
}

int filterIndexFor(std::string_view path) {
    const NameMatch match = matchName(path);
    const std::vector<const FileFormat*> gps = gpsFormats();
    for (std::size_t i = 0; i < gps.size(); ++i)
        if (gps[i] == match.format) return static_cast<int>(i) + 1;
    return allGpsFilterIndex();
}

std::string formatListText(FormatKind kind) {
    std::string out;
    for (const FileFormat& f : kFormats) {
        const bool wanted = kind == FormatKind::Photos ? !f.isGps() : f.isGps();
        if (!wanted) continue;
        std::string line = "  " + textOf(f.filterName);
        line.resize(std::max<std::size_t>(line.size() + 1, 28), ' ');
        std::string exts;
        for (std::string_view e : f.extensions) exts += (exts.empty() ? "" : " ") + std::string(e);
        for (std::string_view e : f.sharedExtensions)
            exts += (exts.empty() ? "" : " ") + std::string(e) + textOf(Msg::FormatByContent);
        out += line + exts + '\n';
    }
    return out;
}

}  // namespace geovanta

#include "input/waypointreader.h"

#include <array>

#include "input/pointfields.h"
#include "table/displaysuspension.h"
#include "table/messages.h"
#include "input/fieldsplit.h"
#include "input/wholefile.h"
#include "table/textlines.h"
#include "table/datatable.h"

namespace geovanta {
namespace {

// Fields 2 to 5 and 15 of a data line are read.
constexpr int kFieldsUsed = 15;
constexpr std::size_t kHeaderLines = 4;
constexpr std::size_t kTypicalLineBytes = 64;
// Altitude the GPS writes when it had none.
constexpr std::string_view kNoAltitude = "-777";

// Blanks and control characters off both ends.
std::string_view trimControls(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
    return text;
}

// The conversions in the order that decides which error a bad line reports.
std::optional<std::string> readWaypoint(const std::array<std::string_view, kFieldsUsed>& f, PointFields& point,
                                        std::size_t& altitudesOutOfRange) {
    if (auto e = readTimeField(f[4], point.timeMs)) return e;
    if (auto e = readCoordinateField(f[2], "Lat", 90, point.lat)) return e;
    if (auto e = readCoordinateField(f[3], "Lon", 180, point.lon)) return e;
    if (trimControls(f[14]) == kNoAltitude) {
        point.elev = 0.0;
        return std::nullopt;
    }
    return readElevationField(f[14], point.elev, altitudesOutOfRange);
}

}  // namespace

LoadResult WaypointReader::load(const std::string& path) {
    FileBytes bytes;
    if (auto error = readWholeFile(path, bytes)) return LoadResult::failed(*error);
    return checkedForCut(loadBytes(bytes, path), bytes, path);
}

LoadResult WaypointReader::loadBytes(std::string_view bytes, const std::string& path) {
    // A NUL byte is a damaged line to report, not the end of the file.
    TextLines lines(bytes, TextLines::NulByte::Ordinary);
    std::array<std::string_view, kHeaderLines> header;
    for (std::string_view& h : header)
        if (!lines.next(h)) return LoadResult::rejected(textOf(Msg::NotWaypoints));
    // The first data line doubles as the test that the file has a fifth line.
    std::string_view line;
    if (!lines.next(line) || header[0].find(kHeader) == std::string_view::npos ||
        header[1].find(kDatum) == std::string_view::npos)
        return LoadResult::rejected(textOf(Msg::NotWaypoints));

    std::size_t altitudesOutOfRange = 0;
    std::string failure;
    {
        DisplaySuspension suspended(table_);
        reserveRows(table_, expectedLines(bytes, kTypicalLineBytes));
        std::array<std::string_view, kFieldsUsed> fields;
        PointFields point;
        bool stopped = false;
        do {
            if (progress_ && lines.lineNumber() % kLinesPerLook == 0 && (stopped = lookAt(*progress_, lines))) break;
            if (auto error = nulByteError(line)) {
                failure = *error + lineSuffix(path, lines.lineNumber());
                break;
            }
            if (CharCount(line, ',') < 5) continue;
            splitFields(line, ',', fields);
            if (auto error = readWaypoint(fields, point, altitudesOutOfRange)) {
                failure = *error + lineSuffix(path, lines.lineNumber());
                break;
            }
            appendPointRow(table_, 'P', fields[1], point);
        } while (lines.next(line));
        if (stopped) return LoadResult::cancelled();
    }
    LoadResult result = failure.empty() ? LoadResult::loaded() : LoadResult::failed(failure);
    result.altitudesOutOfRange = altitudesOutOfRange;
    return result;
}

LoadResult readWpt(std::string_view bytes, GpsRead& read) {
    WaypointReader reader(read.rows);
    reader.setProgress(read.progress);
    LoadResult result = reader.loadBytes(bytes, read.path);
    read.stats.altitudesOutOfRange += result.altitudesOutOfRange;
    return result;
}

}  // namespace geovanta

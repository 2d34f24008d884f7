#include "input/trackreader.h"

#include <array>
#include <charconv>

#include "input/pointfields.h"
#include "table/displaysuspension.h"
#include "table/messages.h"
#include "input/fieldsplit.h"
#include "input/wholefile.h"
#include "table/textlines.h"
#include "table/datatable.h"

namespace geovanta {
namespace {

// Fields 1, 2, 4 and 5 of a data line are read; the rest is ignored.
constexpr int kFieldsUsed = 5;
constexpr std::size_t kHeaderLines = 6;
constexpr std::size_t kTypicalLineBytes = 48;

// Writes `value` zero-padded to `width` digits at least; returns the end.
char* putPadded(char* out, uint32_t value, int width) {
    char digits[10];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
    for (auto n = end - digits; n < width; ++n) *out++ = '0';
    for (const char* p = digits; p != end; ++p) *out++ = *p;
    return out;
}

// "T" + track number (2 digits at least) + "-" + point number (4 at least),
// into a buffer of kPointNameSize; returns the length.
constexpr std::size_t kPointNameSize = 1 + 5 + 1 + 10;
std::size_t formatPointName(char* buf, uint16_t track, uint32_t point) {
    char* p = buf;
    *p++ = 'T';
    p = putPadded(p, track, 2);
    *p++ = '-';
    p = putPadded(p, point, 4);
    return static_cast<std::size_t>(p - buf);
}

// The conversions in the order that decides which error a bad line reports.
std::optional<std::string> readPoint(std::string_view line, PointFields& point, std::size_t& altitudesOutOfRange) {
    std::array<std::string_view, kFieldsUsed> f;
    splitFields(line, ',', f);
    if (auto e = readTimeField(f[4], point.timeMs)) return e;
    if (auto e = readCoordinateField(f[0], "Lat", 90, point.lat)) return e;
    if (auto e = readCoordinateField(f[1], "Lon", 180, point.lon)) return e;
    return readElevationField(f[3], point.elev, altitudesOutOfRange);
}

}  // namespace

std::string TrackReader::pointName(uint16_t track, uint32_t point) {
    char buf[kPointNameSize];
    return std::string(buf, formatPointName(buf, track, point));
}

LoadResult TrackReader::load(const std::string& path) {
    FileBytes bytes;
    if (auto error = readWholeFile(path, bytes)) return LoadResult::failed(*error);
    return checkedForCut(loadBytes(bytes, path, &bytes), bytes, path);
}

LoadResult TrackReader::loadBytes(std::string_view bytes, const std::string& path) {
    return loadBytes(bytes, path, nullptr);
}

LoadResult TrackReader::loadBytes(std::string_view bytes, const std::string& path, FileBytes* spent) {
    // A NUL byte is a damaged line to report, not the end of the file.
    TextLines lines(bytes, TextLines::NulByte::Ordinary);
    std::string_view line;
    if (!lines.next(line)) return LoadResult::failed(listIndexMessage(0));
    if (line.find(kHeader) == std::string_view::npos) return LoadResult::rejected(textOf(Msg::NotTrack));
    if (!lines.next(line)) return LoadResult::failed(listIndexMessage(1));
    if (line.find(kDatum) == std::string_view::npos) return LoadResult::rejected(textOf(Msg::NotWgs84));
    for (std::size_t n = 2; n < kHeaderLines; ++n)
        if (!lines.next(line)) return LoadResult::failed(listIndexMessage(0));

    const uint16_t track = ++trackCounter_;
    // Counted wide: a long log must not give two points the same name.
    uint32_t pointNumber = 0;
    std::size_t altitudesOutOfRange = 0;
    std::string failure;
    {
        DisplaySuspension suspended(table_);
        reserveRows(table_, expectedLines(bytes, kTypicalLineBytes));
        PointFields point;
        char name[kPointNameSize];
        FirstNulByte nul(bytes);
        bool stopped = false;
        while (lines.next(line)) {
            if (lines.lineNumber() % kLinesPerLook == 0) {
                if (progress_ && (stopped = lookAt(*progress_, lines))) break;
                if (spent) spent->release(static_cast<std::size_t>(line.data() - bytes.data()));
            }
            if (auto error = nul.in(line) ? nulByteError(line) : std::nullopt) {
                failure = *error + lineSuffix(path, lines.lineNumber());
                break;
            }
            if (CharCount(line, ',') < 4) continue;
            ++pointNumber;
            if (auto error = readPoint(line, point, altitudesOutOfRange)) {
                failure = *error + lineSuffix(path, lines.lineNumber());
                break;
            }
            appendPointRow(table_, 'T', std::string_view(name, formatPointName(name, track, pointNumber)), point);
        }
        if (stopped) return LoadResult::cancelled();
        if (spent) spent->release(bytes.size());
    }
    LoadResult result = failure.empty() ? LoadResult::loaded() : LoadResult::failed(failure);
    result.altitudesOutOfRange = altitudesOutOfRange;
    return result;
}

LoadResult readPlt(std::string_view bytes, GpsRead& read) {
    TrackReader reader(read.rows, read.trackCounter);
    reader.setProgress(read.progress);
    LoadResult result = reader.loadBytes(bytes, read.path, read.spent);
    read.stats.altitudesOutOfRange += result.altitudesOutOfRange;
    return result;
}

}  // namespace geovanta

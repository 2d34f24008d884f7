#pragma once
// Conversions of the fields that track points and waypoints share, with the
// program's messages for text that does not convert. Failing texts are
// quoted as UTF-8 (Windows-1251 otherwise), like names in the grid, and cut
// to a readable length.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "table/progress.h"
#include "table/textlines.h"

namespace geovanta {

// Position, altitude and time of one GPS point as read from a data line.
struct PointFields {
    int64_t timeMs = 0;
    std::optional<double> lat, lon, elev;
};

// A day-time field: number text that must not be empty and must lie in the
// range the table can hold. Returns the error message, or nothing.
std::optional<std::string> readTimeField(std::string_view text, int64_t& ms);

// A Lat, Lon or Elev field: empty text gives no value, other text must be a
// number. Returns the error message naming `fieldName`, or nothing.
std::optional<std::string> readNumberField(std::string_view text, const char* fieldName,
                                           std::optional<double>& value);

// A Lat or Lon field: as readNumberField, and the value must lie within
// ±`limit` degrees; a number outside is a damaged line, not a place.
std::optional<std::string> readCoordinateField(std::string_view text, const char* fieldName, double limit,
                                               std::optional<double>& value);

// An Elev field in feet: as readNumberField, but a number beyond
// ±kMaxAltitudeFeet, or too large for a double, is no altitude: it is kept
// as kNoAltitudeFeet and counted in `outOfRange`.
std::optional<std::string> readElevationField(std::string_view text, std::optional<double>& value,
                                              std::size_t& outOfRange);

// Feet whose whole metres, as the table works them out (truncated toward
// zero), are those given: 100 m must not show as 99 because the quotient
// came out a hair short. Formats that count in metres store through this.
double feetFromMetres(double metres);

// "'<text>' is out of range for field '<field>'"
std::string outOfRangeMessage(std::string_view text, const char* fieldName);

class DataTable;

// Appends one GPS row through the table's direct row API and posts it.
void appendPointRow(DataTable& table, char stat, std::string_view name, const PointFields& fields);

// Makes room for about `expected` more rows when that at least doubles the
// table, so a big file does not regrow every column several times while small
// files added to a big table never copy it.
void reserveRows(DataTable& table, std::size_t expected);

// How many rows a text file can give at most: its size over a typical line,
// but never more than its line ends, as many as its first megabytes hold
// for their size, so that a huge file of anything but points (zeros from a
// crash, a disk image) claims no memory for rows it cannot hold.
std::size_t expectedLines(std::string_view bytes, std::size_t typicalLineBytes);

// A NUL byte has no place in a text file: the file is damaged (a crash
// zero-fills what was not written). Returns the message for such a line.
std::optional<std::string> nulByteError(std::string_view line);

// Whether a line of a text holds the text's first NUL byte, looked for a
// stretch ahead of the lines at a time: one look through the text spares a
// look through every line, and the text is still read once, in order.
// Lines are asked for in order, as views into the text.
class FirstNulByte {
public:
    explicit FirstNulByte(std::string_view text);
    bool in(std::string_view line);

private:
    std::string_view text_;
    std::size_t at_;        // the first NUL byte, or lookedTo_ while none is found
    std::size_t lookedTo_;  // the text is looked through up to here
};


// Text readers tell their progress and look for a wish to stop once in this
// many lines: often enough to answer within a blink, rarely enough to cost
// nothing.
inline constexpr std::size_t kLinesPerLook = 16384;
// Tells `progress` how far `lines` has got; true when it asks to stop.
bool lookAt(Progress& progress, const TextLines& lines);

// Second line of a data-line error: where it happened.
std::string lineSuffix(const std::string& path, std::size_t lineNumber);
// The same for binary files: the offset of the damaged record.
std::string byteSuffix(const std::string& path, uint64_t offset);

}  // namespace geovanta

#pragma once
// One NMEA 0183 sentence as a GPS log holds it: "$GPRMC,...*hh". Only what a
// track needs is read: the recommended minimum (RMC: time, date, position),
// the fix data (GGA: time, position, altitude) and the date and time (ZDA).
// Every other sentence is only checked for being whole, which tells a log of
// sentences from any other text.

#include <cstdint>
#include <optional>
#include <string_view>

namespace geovanta {

struct NmeaSentence {
    enum class Kind {
        Other,    // not an NMEA sentence, or one no track needs
        Rmc,
        Gga,
        Zda,
        Damaged,  // an RMC, GGA or ZDA with a wrong checksum, or cut short before it
    };
    Kind kind = Kind::Other;
    // A talker sentence whose checksum is right, or one the reader takes
    // whole without one: evidence that the file is a log of sentences.
    bool whole = false;
    // RMC status A, GGA fix quality other than 0.
    bool valid = false;
    std::optional<int32_t> timeMs;  // time of day, UTC
    std::optional<int32_t> day;      // RMC and ZDA: days since 1899-12-30
    std::optional<double> lat, lon;
    std::optional<double> altitudeM;  // GGA: above mean sea level
};

// Reads the sentence at the start of `text`, which begins with '$' or '!'
// and ends before the next one or at the line end.
NmeaSentence parseNmeaSentence(std::string_view text);

// Calls `f` for each part of `line` that starts with '$' or '!': a logger that
// lost a line end runs two sentences together, and a timestamp or other
// prefix may stand before the sentence.
template <typename F>
void forEachNmeaPiece(std::string_view line, F&& f) {
    // By hand: find_first_of looks each byte up in the set with a call.
    const auto startAfter = [line](std::size_t from) {
        for (std::size_t i = from; i < line.size(); ++i)
            if (line[i] == '$' || line[i] == '!') return i;
        return line.size();
    };
    for (std::size_t at = startAfter(0); at < line.size();) {
        const std::size_t next = startAfter(at + 1);
        f(line.substr(at, next - at));
        at = next;
    }
}

}  // namespace geovanta

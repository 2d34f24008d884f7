#pragma once
// What the readers of GPS files in XML share: the tests of a file's first
// bytes, the bookkeeping of a walk over the file's elements (progress, a
// fault with its file and line, track point names, points left out) and the
// reading of the values every such format has: degrees, altitudes in metres
// and times in ISO 8601.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <pugixml.hpp>

#include "input/gpsread.h"
#include "input/loadresult.h"
#include "input/pointfields.h"
#include "input/xmlpieces.h"
#include "table/messages.h"

namespace geovanta {

// The text without XML's blanks at either end.
std::string_view trimmedXml(std::string_view text);
// A UTF-8 byte order mark is no part of the document.
std::string_view withoutByteOrderMark(std::string_view bytes);
// No bytes, or blanks only: a file saved empty, not some other kind of file.
bool holdsNothing(std::string_view bytes);
// A file that does not begin with markup is no XML file at all.
bool startsLikeXml(std::string_view bytes);
// UTF-16 and UTF-32 begin with a byte order mark or put zero bytes next to
// the first '<'.
bool wideEncoding(std::string_view bytes);
// The local name of the document's first element, past the declaration,
// comments and a document type; empty when `head` ends before it.
std::string_view rootElementName(std::string_view head);

// An element's own text: its character data and CDATA sections joined
// without the comments between them ("1<!-- x -->2" is "12"). A view into
// the tree when the text is in one piece, into `scratch` otherwise.
std::string_view elementText(const pugi::xml_node& element, std::string& scratch);

// A walk that turns a GPS file's elements into rows. The format's walk
// decides what its elements mean; this keeps the rest.
class XmlGpsWalk : public XmlVisitor {
public:
    XmlGpsWalk(GpsRead& read, const XmlPieces& pieces) : read_(read), pieces_(pieces) {}

    // The first element is not the format's: the file is of another kind.
    bool notOfFormat() const { return notOfFormat_; }
    // The walk ended because the progress asked it to.
    bool stopped() const { return stopped_; }
    // Why the walk ended early, with the file and line.
    const std::string& failure() const { return failure_; }
    // Points kept without their absurd altitude.
    std::size_t altitudesOutOfRange() const { return altitudesOutOfRange_; }

protected:
    // Called for each point or point-sized element as it ends; now and then
    // tells the progress how far the walk has got. False when it asks to stop.
    bool lookAtProgress(const pugi::xml_node& at);
    // Ends the walk for `reason` at `where`'s line; returns false.
    bool fail(const std::string& reason, const pugi::xml_node& where);

    // The next track of the load: its points are named after it, from 1.
    void startTrack();
    // A track point of the current track (of a new one when none began).
    void appendTrackPoint(const PointFields& fields);
    void appendWaypoint(std::string_view name, const PointFields& fields);

    // Degrees within ±`limit`; a text that is no such number ends the walk.
    bool readDegrees(std::string_view text, const char* field, double limit, std::optional<double>& value,
                     const pugi::xml_node& where);
    // Metres, kept in feet; an altitude no GPS can give is kept as
    // kNoAltitudeFeet and counted, a text that is no number ends the walk.
    bool readAltitude(std::string_view text, std::optional<double>& feet, const pugi::xml_node& where);
    // An ISO 8601 date and time; a text that is none ends the walk.
    bool readTime(std::string_view text, int64_t& ms, const pugi::xml_node& where);

    GpsRead& read_;
    const XmlPieces& pieces_;
    bool notOfFormat_ = false;
    std::string scratch_;  // room for elementText

private:
    std::string failure_;
    bool stopped_ = false;
    std::size_t looked_ = 0;
    std::size_t altitudesOutOfRange_ = 0;
    uint16_t track_ = 0;
    bool inTrack_ = false;
    uint32_t pointNumber_ = 0;  // counted wide, as the track reader does: names never repeat
};

// Reads `bytes` with `walk` over `pieces` (made on the same bytes): the tests
// of the first bytes, the walk, the bytes passed handed back to read.spent,
// and the result. An empty file, one that is no XML, or one whose first
// element the walk does not take is rejected (`notFormat`); the walk's fault
// or the XML's own ends the read with the points before it kept.
LoadResult walkXmlGps(std::string_view bytes, GpsRead& read, XmlPieces& pieces, XmlGpsWalk& walk, Msg notFormat);

}  // namespace geovanta

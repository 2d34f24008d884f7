#include "input/kmlreader.h"

#include <cstdint>
#include <deque>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "input/kmlcoordinates.h"
#include "input/xmlgpswalk.h"
#include "input/wholefile.h"
#include "input/xmlpieces.h"
#include "input/zipentry.h"
#include "table/fieldinfo.h"
#include "table/messages.h"
#include "table/textcodec.h"

namespace geovanta {
namespace {

// A gx:Track's point, its time and its position written tightly, takes
// about 60 bytes: room for that many rows saves most files from regrowing
// the table, and rows made room for but not used cost no memory.
constexpr std::size_t kTypicalPointBytes = 60;

// Longer names are cut by the table anyway; a name a megabyte long need not
// be kept whole until its Placemark ends.
constexpr std::size_t kMaxNameBytes = 256;

enum class Kind : uint8_t {
    Root,
    Container,  // Document, Folder
    Placemark,
    Name,
    TimeStamp,
    When,
    MultiGeometry,
    Point,
    PointCoordinates,
    LineString,
    LineCoordinates,
    MultiTrack,
    Track,
    TrackWhen,
    TrackCoord,
    Other,
};

Kind geometryKind(std::string_view name) {
    if (name == "Point") return Kind::Point;
    if (name == "LineString") return Kind::LineString;
    if (name == "MultiGeometry") return Kind::MultiGeometry;
    if (name == "Track") return Kind::Track;
    if (name == "MultiTrack") return Kind::MultiTrack;
    return Kind::Other;
}

// A Placemark holding any of these has a place, even one no row is made of.
bool isGeometry(std::string_view name) {
    return geometryKind(name) != Kind::Other || name == "Polygon" || name == "LinearRing" || name == "Model";
}

Kind kindOf(Kind parent, std::string_view name) {
    switch (parent) {
        case Kind::Root:
        case Kind::Container:
            if (name == "Document" || name == "Folder") return Kind::Container;
            return name == "Placemark" ? Kind::Placemark : Kind::Other;
        case Kind::Placemark:
            if (name == "name") return Kind::Name;
            if (name == "TimeStamp") return Kind::TimeStamp;
            return geometryKind(name);
        case Kind::MultiGeometry: return geometryKind(name);
        case Kind::TimeStamp: return name == "when" ? Kind::When : Kind::Other;
        case Kind::Point: return name == "coordinates" ? Kind::PointCoordinates : Kind::Other;
        case Kind::LineString: return name == "coordinates" ? Kind::LineCoordinates : Kind::Other;
        case Kind::MultiTrack: return name == "Track" ? Kind::Track : Kind::Other;
        case Kind::Track:
            if (name == "when") return Kind::TrackWhen;
            return name == "coord" ? Kind::TrackCoord : Kind::Other;
        default: return Kind::Other;
    }
}

bool holdsMore(Kind kind) {
    switch (kind) {
        case Kind::Root:
        case Kind::Container:
        case Kind::Placemark:
        case Kind::TimeStamp:
        case Kind::MultiGeometry:
        case Kind::Point:
        case Kind::LineString:
        case Kind::MultiTrack:
        case Kind::Track: return true;
        default: return false;
    }
}

// Turns the elements of a KML document into rows as they end. Nothing
// waits for a Placemark or a gx:Track to end whole, so that one of a
// million points is read piece by piece like any other file.
class KmlWalk : public XmlGpsWalk {
public:
    KmlWalk(GpsRead& read, const XmlPieces& pieces, std::size_t expectedPoints)
        : XmlGpsWalk(read, pieces), expectedPoints_(expectedPoints) {}

    Next enter(const pugi::xml_node& element) override;
    bool leave(const pugi::xml_node& element) override;

private:
    // A time: nothing for an empty text or a date alone, which dates no
    // point; a text that is no time at all ends the walk.
    bool readWhen(const pugi::xml_node& when, std::optional<int64_t>& ms);
    bool readPosition(const KmlNumbers& parts, std::string_view text, PointFields& fields,
                      const pugi::xml_node& where);
    bool readPointCoordinates(const pugi::xml_node& coordinates);
    bool readTrackCoord(const pugi::xml_node& coord);
    void countLine(const pugi::xml_node& coordinates);
    void pairTrack();
    void endTrack();
    void endPlacemark();

    std::size_t expectedPoints_;
    std::vector<Kind> open_;  // the elements entered and not yet left, outermost first
    bool sawRoot_ = false;

    // The Placemark being read; its points wait for its end, since its name
    // and time may come after its geometry.
    struct Placemark {
        std::string name;
        std::optional<int64_t> time;
        bool geometry = false;
        std::vector<std::optional<PointFields>> points;  // one per Point, empty without a position
    } placemark_;

    // A gx:Track's times and positions not yet paired: one of the two is
    // empty except while a pair is made. A file that lists its times first
    // holds them all here until its positions come, 8 bytes each.
    static constexpr int64_t kNoTime = std::numeric_limits<int64_t>::min();
    std::deque<int64_t> times_;
    std::deque<std::optional<PointFields>> positions_;
};

XmlVisitor::Next KmlWalk::enter(const pugi::xml_node& element) {
    const std::string_view name = localName(element.name());
    Kind kind = Kind::Other;
    if (open_.empty()) {
        if (!sawRoot_) {
            if (name != "kml") {
                notOfFormat_ = true;
                return Next::Stop;
            }
            sawRoot_ = true;
            kind = Kind::Root;
            reserveRows(read_.rows, expectedPoints_);
        }
    } else {
        const Kind parent = open_.back();
        kind = kindOf(parent, name);
        if (kind == Kind::Placemark) placemark_ = {};
        if ((parent == Kind::Placemark || parent == Kind::MultiGeometry) && isGeometry(name))
            placemark_.geometry = true;
        if (kind == Kind::Point) placemark_.points.emplace_back();
        // A track's segments share its numbers.
        if (kind == Kind::MultiTrack || (kind == Kind::Track && parent != Kind::MultiTrack)) startTrack();
    }
    open_.push_back(kind);
    return holdsMore(kind) ? Next::Children : Next::SkipChildren;
}

bool KmlWalk::leave(const pugi::xml_node& element) {
    const Kind kind = open_.back();
    open_.pop_back();
    switch (kind) {
        case Kind::Name:
            placemark_.name = trimmedXml(elementText(element, scratch_)).substr(0, kMaxNameBytes);
            return true;
        case Kind::When: return readWhen(element, placemark_.time);
        case Kind::PointCoordinates: return lookAtProgress(element) && readPointCoordinates(element);
        case Kind::LineCoordinates:
            countLine(element);
            return lookAtProgress(element);
        case Kind::TrackWhen: {
            std::optional<int64_t> ms;
            if (!readWhen(element, ms)) return false;
            times_.push_back(ms.value_or(kNoTime));
            pairTrack();
            return lookAtProgress(element);
        }
        case Kind::TrackCoord: return readTrackCoord(element) && lookAtProgress(element);
        case Kind::Track: endTrack(); return true;
        case Kind::Placemark: endPlacemark(); return true;
        default: return true;
    }
}

bool KmlWalk::readWhen(const pugi::xml_node& when, std::optional<int64_t>& ms) {
    ms.reset();
    const std::string_view text = trimmedXml(elementText(when, scratch_));
    if (text.empty() || isDateOnly(text)) return true;
    int64_t time = 0;
    if (!readTime(text, time, when)) return false;
    ms = time;
    return true;
}

bool KmlWalk::readPosition(const KmlNumbers& parts, std::string_view text, PointFields& fields,
                           const pugi::xml_node& where) {
    if (!readDegrees(parts[0], "Lon", 180.0, fields.lon, where)) return false;
    // A missing latitude is reported with the text it is missing from.
    if (parts[1].empty()) return fail(invalidFloatFieldMessage(quotedExcerpt(text), "Lat"), where);
    if (!readDegrees(parts[1], "Lat", 90.0, fields.lat, where)) return false;
    return parts[2].empty() || readAltitude(parts[2], fields.elev, where);
}

// A Point has one position; more are a fault of the writer, and the first
// is taken.
bool KmlWalk::readPointCoordinates(const pugi::xml_node& coordinates) {
    const std::string_view text = elementText(coordinates, scratch_);
    KmlNumbers parts;
    std::size_t pos = 0;
    if (nextKmlTuple(text, pos, parts) == 0) return true;
    PointFields fields;
    if (!readPosition(parts, trimmedXml(text), fields, coordinates)) return false;
    placemark_.points.back() = fields;
    return true;
}

bool KmlWalk::readTrackCoord(const pugi::xml_node& coord) {
    const std::string_view text = trimmedXml(elementText(coord, scratch_));
    std::optional<PointFields> position;
    KmlNumbers parts;
    if (splitKmlCoord(text, parts) > 0 && !readPosition(parts, text, position.emplace(), coord)) return false;
    positions_.push_back(position);
    pairTrack();
    return true;
}

void KmlWalk::countLine(const pugi::xml_node& coordinates) {
    const std::string_view text = elementText(coordinates, scratch_);
    KmlNumbers parts;
    std::size_t pos = 0;
    while (nextKmlTuple(text, pos, parts) > 0) ++read_.stats.withoutTime;
}

void KmlWalk::pairTrack() {
    while (!times_.empty() && !positions_.empty()) {
        const int64_t time = times_.front();
        std::optional<PointFields>& position = positions_.front();
        if (time == kNoTime) {
            ++read_.stats.withoutTime;
        } else if (!position) {
            ++read_.stats.withoutPosition;
        } else {
            position->timeMs = time;
            appendTrackPoint(*position);
        }
        times_.pop_front();
        positions_.pop_front();
    }
}

// Times left without a position, and positions without a time.
void KmlWalk::endTrack() {
    for (const int64_t time : times_) ++(time == kNoTime ? read_.stats.withoutTime : read_.stats.withoutPosition);
    read_.stats.withoutTime += positions_.size();
    times_.clear();
    positions_.clear();
}

void KmlWalk::endPlacemark() {
    if (placemark_.time && !placemark_.geometry) ++read_.stats.withoutPosition;
    for (std::optional<PointFields>& point : placemark_.points) {
        if (!placemark_.time) {
            ++read_.stats.withoutTime;
        } else if (!point) {
            ++read_.stats.withoutPosition;
        } else {
            point->timeMs = *placemark_.time;
            appendWaypoint(placemark_.name, *point);
        }
    }
    placemark_ = {};
}

}  // namespace

LoadResult readKmlInPieces(std::string_view bytes, GpsRead& read, std::size_t pieceBytes) {
    // Cut after the elements that hold one value each, the only ones a
    // big file has many of; gx:value holds the extra data of a gx:Track's
    // points.
    XmlPieces pieces(bytes, {"when", "coord", "coordinates", "name", "value"}, pieceBytes);
    KmlWalk walk(read, pieces, bytes.size() / kTypicalPointBytes);
    return walkXmlGps(bytes, read, pieces, walk, Msg::NotKml);
}

LoadResult readKml(std::string_view bytes, GpsRead& read) {
    if (bytes.starts_with("PK\x03\x04")) return readKmz(bytes, read);
    return readKmlInPieces(bytes, read, XmlPieces::kDefaultPieceBytes);
}

LoadResult readKmzWithLimit(std::string_view bytes, GpsRead& read, uint64_t maxEntryBytes) {
    FileBytes kml;
    const ZipEntryRead entry = readZipEntry(bytes, ".kml", maxEntryBytes, kml, read.path, read.progress);
    switch (entry.status) {
        case ZipEntryRead::Status::NotZip: return LoadResult::rejected(textOf(Msg::NotKml));
        case ZipEntryRead::Status::NoEntry:
            return LoadResult::rejected(textOf(Msg::ZipNoKml, {displayFileName(read.path)}));
        case ZipEntryRead::Status::Cancelled: return LoadResult::cancelled();
        default: break;
    }
    // The archive is done with once its entry is out, and the entry's bytes
    // are handed back as they are read. Messages name the entry in the
    // archive, whose lines they count.
    if (read.spent) read.spent->release(bytes.size());
    if (!entry.warning.empty()) read.stats.warnings.push_back(entry.warning);
    FileBytes* const archiveBytes = read.spent;
    const std::string archivePath = read.path;
    read.spent = &kml;
    read.path = archivePath + "/" + entry.name;
    LoadResult result = readKmlInPieces(kml, read, XmlPieces::kDefaultPieceBytes);
    read.spent = archiveBytes;
    read.path = archivePath;
    // What unpacked before a fault is read; the fault is the archive's.
    if (entry.status == ZipEntryRead::Status::Failed && result.status != LoadResult::Status::Cancelled) {
        result.status = LoadResult::Status::Failed;
        result.message = entry.message;
    }
    return result;
}

LoadResult readKmz(std::string_view bytes, GpsRead& read) {
    return readKmzWithLimit(bytes, read, kMaxWholeFileBytes);
}

bool looksLikeKml(std::string_view head) { return rootElementName(head) == "kml"; }

}  // namespace geovanta

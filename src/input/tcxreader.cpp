#include "input/tcxreader.h"

#include "input/xmlgpswalk.h"
#include "input/xmlpieces.h"

namespace geovanta {
namespace {

constexpr std::string_view kRoot = "TrainingCenterDatabase";

// A Trackpoint with its time, position, altitude, heart rate and distance
// takes about 250 bytes written tightly, more when indented: room for that
// many rows saves most files from regrowing the table.
constexpr std::size_t kTypicalPointBytes = 200;

// The first of each child a point is read from, in one pass over its children.
struct PointChildren {
    pugi::xml_node time, position, altitude, name;
};

PointChildren pointChildren(const pugi::xml_node& point) {
    PointChildren found;
    findFirstChildren(point, {{"Time", &found.time},
                              {"Position", &found.position},
                              {"AltitudeMeters", &found.altitude},
                              {"Name", &found.name}});
    return found;
}

pugi::xml_node firstChildNamed(const pugi::xml_node& parent, std::string_view name) {
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && localName(c.name()) == name) return c;
    return {};
}

// Elements that hold no points of the recording: lists of what the device
// stores elsewhere, planned workouts, the software that wrote the file, and
// vendors' additions.
bool holdsNoPoints(std::string_view name) {
    return name == "Folders" || name == "Workouts" || name == "Author" || name == "Creator" || name == "Extensions";
}

class TcxWalk : public XmlGpsWalk {
public:
    TcxWalk(GpsRead& read, const XmlPieces& pieces, std::size_t expectedPoints)
        : XmlGpsWalk(read, pieces), expectedPoints_(expectedPoints) {}

    Next enter(const pugi::xml_node& element) override;
    bool leave(const pugi::xml_node& element) override;

private:
    bool readPoint(const pugi::xml_node& point, bool coursePoint);
    bool readPosition(const pugi::xml_node& position, PointFields& fields, bool& found);

    std::size_t expectedPoints_;
    std::size_t depth_ = 0;  // elements entered and not yet left
    bool sawRoot_ = false;
};

XmlVisitor::Next TcxWalk::enter(const pugi::xml_node& element) {
    const std::string_view name = localName(element.name());
    ++depth_;
    if (depth_ == 1) {
        if (sawRoot_) return Next::SkipChildren;  // stray elements after the document's end
        if (name != kRoot) {
            notOfFormat_ = true;
            return Next::Stop;
        }
        sawRoot_ = true;
        reserveRows(read_.rows, expectedPoints_);
        return Next::Children;
    }
    if (name == "Trackpoint" || name == "CoursePoint" || holdsNoPoints(name)) return Next::SkipChildren;
    // Every activity and course counts as a track, even one without a point.
    if (name == "Activity" || name == "Course") startTrack();
    return Next::Children;
}

bool TcxWalk::leave(const pugi::xml_node& element) {
    --depth_;
    if (depth_ == 0) return true;
    const std::string_view name = localName(element.name());
    const bool trackpoint = name == "Trackpoint";
    if (!trackpoint && name != "CoursePoint") return true;
    return lookAtProgress(element) && readPoint(element, !trackpoint);
}

bool TcxWalk::readPosition(const pugi::xml_node& position, PointFields& fields, bool& found) {
    const pugi::xml_node lat = firstChildNamed(position, "LatitudeDegrees");
    const pugi::xml_node lon = firstChildNamed(position, "LongitudeDegrees");
    const std::string_view latText = trimmedXml(elementText(lat, scratch_));
    if (!latText.empty() && !readDegrees(latText, "Lat", 90.0, fields.lat, lat)) return false;
    const std::string_view lonText = trimmedXml(elementText(lon, scratch_));
    if (!lonText.empty() && !readDegrees(lonText, "Lon", 180.0, fields.lon, lon)) return false;
    found = fields.lat && fields.lon;
    return true;
}

// The position and altitude are checked before the time, in the order the
// file gives them, so that a damaged point is reported even without a time.
bool TcxWalk::readPoint(const pugi::xml_node& point, bool coursePoint) {
    const PointChildren children = pointChildren(point);
    PointFields fields;
    bool positioned = false;
    if (children.position && !readPosition(children.position, fields, positioned)) return false;
    if (children.altitude) {
        const std::string_view text = trimmedXml(elementText(children.altitude, scratch_));
        if (!text.empty() && !readAltitude(text, fields.elev, children.altitude)) return false;
    }
    const std::string_view time = trimmedXml(elementText(children.time, scratch_));
    if (time.empty()) {
        ++read_.stats.withoutTime;
        return true;
    }
    if (!readTime(time, fields.timeMs, children.time)) return false;
    if (!positioned) {
        ++read_.stats.withoutPosition;
        return true;
    }
    if (coursePoint)
        appendWaypoint(trimmedXml(elementText(children.name, scratch_)), fields);
    else
        appendTrackPoint(fields);
    return true;
}

}  // namespace

LoadResult readTcxInPieces(std::string_view bytes, GpsRead& read, std::size_t pieceBytes) {
    XmlPieces pieces(bytes, {"Trackpoint", "CoursePoint"}, pieceBytes);
    TcxWalk walk(read, pieces, bytes.size() / kTypicalPointBytes);
    return walkXmlGps(bytes, read, pieces, walk, Msg::NotTcx);
}

LoadResult readTcx(std::string_view bytes, GpsRead& read) {
    return readTcxInPieces(bytes, read, XmlPieces::kDefaultPieceBytes);
}

bool looksLikeTcx(std::string_view head) { return rootElementName(head) == kRoot; }

}  // namespace geovanta

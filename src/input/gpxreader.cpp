#include "input/gpxreader.h"

#include <cmath>
#include <vector>

#include "input/isotime.h"
#include "input/pointfields.h"
#include "input/wholefile.h"
#include "input/trackreader.h"
#include "input/xmlgpswalk.h"
#include "input/xmlpieces.h"
#include "table/datatable.h"
#include "table/displaysuspension.h"
#include "table/fieldinfo.h"
#include "table/messages.h"
#include "table/numbertext.h"
#include "table/position.h"
#include "table/textcodec.h"

namespace geovanta {
namespace {

// A point with its elevation and time takes about 80 bytes written tightly,
// more when indented: reserving rows for that many saves most files from
// regrowing the table, and rows reserved but not used cost no memory.
constexpr std::size_t kTypicalPointBytes = 80;

// The first <ele>, <time> and <name> of a point, in one pass over its children.
struct PointChildren {
    pugi::xml_node ele, time, name;
};

PointChildren pointChildren(const pugi::xml_node& point) {
    PointChildren found;
    findFirstChildren(point, {{"ele", &found.ele}, {"time", &found.time}, {"name", &found.name}});
    return found;
}

// Turns the elements of a GPX document into rows as they end.
class GpxWalk : public XmlVisitor {
public:
    GpxWalk(DataTable& table, uint16_t& trackCounter, const XmlPieces& pieces, const std::string& path,
            std::size_t expectedPoints, GpxLoadStats& stats)
        : table_(table), trackCounter_(trackCounter), pieces_(pieces), path_(path),
          expectedPoints_(expectedPoints), stats_(stats) {}

    Next enter(const pugi::xml_node& element) override;
    bool leave(const pugi::xml_node& element) override;

    bool notGpx() const { return notGpx_; }
    const std::string& failure() const { return failure_; }
    void setProgress(Progress* progress) { progress_ = progress; }
    // The walk ended because the progress asked it to.
    bool stopped() const { return stopped_; }

private:
    enum class Kind : uint8_t { Gpx, Track, Segment, Route, Point, Other };

    Kind kindOf(std::string_view name) const;
    bool readPoint(const pugi::xml_node& point, Kind container);
    bool fail(const std::string& reason, const pugi::xml_node& where);
    bool readCoordinate(const pugi::xml_node& point, const char* attribute, const char* field, double limit,
                        std::optional<double>& value);

    DataTable& table_;
    uint16_t& trackCounter_;
    const XmlPieces& pieces_;
    const std::string& path_;
    std::size_t expectedPoints_;
    GpxLoadStats& stats_;

    std::vector<Kind> open_;  // the elements entered and not yet left, outermost first
    Progress* progress_ = nullptr;
    std::size_t pointsLeft_ = 0;  // points ended, as counted for looking at the progress
    bool stopped_ = false;
    bool sawRoot_ = false;
    bool notGpx_ = false;
    uint16_t track_ = 0;
    uint32_t pointNumber_ = 0;  // counted wide, as the track reader does: names never repeat
    std::string failure_;
    std::string scratch_;  // room for elementText
};

GpxWalk::Kind GpxWalk::kindOf(std::string_view name) const {
    switch (open_.back()) {
        case Kind::Gpx:
            if (name == "trk") return Kind::Track;
            if (name == "rte") return Kind::Route;
            if (name == "wpt") return Kind::Point;
            return Kind::Other;
        case Kind::Track: return name == "trkseg" ? Kind::Segment : Kind::Other;
        case Kind::Segment: return name == "trkpt" ? Kind::Point : Kind::Other;
        case Kind::Route: return name == "rtept" ? Kind::Point : Kind::Other;
        default: return Kind::Other;
    }
}

XmlVisitor::Next GpxWalk::enter(const pugi::xml_node& element) {
    const std::string_view name = localName(element.name());
    Kind kind = Kind::Other;
    if (open_.empty()) {
        if (sawRoot_) {
            kind = Kind::Other;  // stray elements after the document's end
        } else if (name != "gpx") {
            notGpx_ = true;
            return Next::Stop;
        } else {
            sawRoot_ = true;
            kind = Kind::Gpx;
            reserveRows(table_, expectedPoints_);
        }
    } else {
        kind = kindOf(name);
    }
    if (kind == Kind::Track || kind == Kind::Route) {
        // Every track and route counts, even one without a point.
        track_ = ++trackCounter_;
        pointNumber_ = 0;
    }
    open_.push_back(kind);
    return kind == Kind::Point || kind == Kind::Other ? Next::SkipChildren : Next::Children;
}

bool GpxWalk::leave(const pugi::xml_node& element) {
    const Kind kind = open_.back();
    open_.pop_back();
    if (kind != Kind::Point) return true;
    if (progress_ && ++pointsLeft_ % kLinesPerLook == 0) {
        progress_->setDone(pieces_.offsetOf(element));
        if (progress_->cancelled()) {
            stopped_ = true;
            return false;
        }
    }
    return readPoint(element, open_.back());
}

bool GpxWalk::fail(const std::string& reason, const pugi::xml_node& where) {
    failure_ = reason + lineSuffix(path_, pieces_.lineAt(pieces_.offsetOf(where)));
    return false;
}

bool GpxWalk::readCoordinate(const pugi::xml_node& point, const char* attribute, const char* field, double limit,
                             std::optional<double>& value) {
    const pugi::xml_attribute a = point.attribute(attribute);
    if (!a) return fail(textOf(Msg::GpxNoAttribute, {attribute}), point);
    const std::string_view text = trimmedXml(a.value());
    value = parseNumber(text);
    if (!value) return fail(invalidFloatFieldMessage(quotedExcerpt(text), field), point);
    if (std::fabs(*value) > limit) return fail(outOfRangeMessage(text, field), point);
    return true;
}

// Coordinates and elevation are checked before the time, in the order the
// file gives them, so that a damaged point is reported even without a time.
bool GpxWalk::readPoint(const pugi::xml_node& point, Kind container) {
    PointFields fields;
    if (!readCoordinate(point, "lat", "Lat", 90.0, fields.lat)) return false;
    if (!readCoordinate(point, "lon", "Lon", 180.0, fields.lon)) return false;

    const PointChildren children = pointChildren(point);
    bool absurdAltitude = false;
    if (const pugi::xml_node& ele = children.ele) {
        const std::string_view text = trimmedXml(elementText(ele, scratch_));
        if (!text.empty()) {
            const std::optional<double> metres = parseNumberOrInfinity(text);
            if (!metres) return fail(invalidFloatFieldMessage(quotedExcerpt(text), "Elev"), ele);
            fields.elev = std::isfinite(*metres) ? feetFromMetres(*metres) : *metres;
            if (!altitudeInRange(*fields.elev)) {
                fields.elev = kNoAltitudeFeet;
                absurdAltitude = true;
            }
        }
    }

    const pugi::xml_node& time = children.time;
    const std::string_view timeText = trimmedXml(elementText(time, scratch_));
    if (timeText.empty()) {
        ++stats_.pointsWithoutTime;
        return true;
    }
    const std::optional<int64_t> ms = parseIsoTimeMs(timeText);
    if (!ms) return fail(textOf(Msg::InvalidDateTime, {quotedExcerpt(timeText)}), time);
    fields.timeMs = *ms;

    if (container == Kind::Gpx) {
        appendPointRow(table_, 'P', trimmedXml(elementText(children.name, scratch_)), fields);
    } else {
        appendPointRow(table_, 'T', TrackReader::pointName(track_, ++pointNumber_), fields);
    }
    ++stats_.points;
    if (absurdAltitude) ++stats_.altitudesOutOfRange;
    return true;
}

}  // namespace

LoadResult GpxReader::load(const std::string& path) {
    FileBytes bytes;
    if (auto error = readWholeFile(path, bytes)) return LoadResult::failed(*error);
    return checkedForCut(loadBytes(bytes, path, &bytes), bytes, path);
}

LoadResult GpxReader::loadBytes(std::string_view bytes, const std::string& path) {
    return loadBytes(bytes, path, nullptr);
}

LoadResult GpxReader::loadBytes(std::string_view bytes, const std::string& path, FileBytes* spent) {
    stats_ = {};
    if (wideEncoding(bytes))
        return LoadResult::failed(textOf(Msg::GpxNotUtf8) + lineSuffix(path, 1));
    if (holdsNothing(bytes)) return LoadResult::rejected(textOf(Msg::GpxEmpty, {displayFileName(path)}));
    if (!startsLikeXml(bytes)) return LoadResult::rejected(textOf(Msg::NotGpx));

    XmlPieces pieces(bytes, {"trkpt", "rtept", "wpt"}, pieceBytes_ ? pieceBytes_ : XmlPieces::kDefaultPieceBytes);
    if (spent) pieces.onPassed([spent](std::size_t offset) { spent->release(offset); });
    GpxWalk walk(table_, trackCounter_, pieces, path, bytes.size() / kTypicalPointBytes, stats_);
    walk.setProgress(progress_);
    if (progress_) progress_->setTotal(bytes.size());
    std::string failure;
    {
        DisplaySuspension suspended(table_);
        const std::optional<XmlError> fault = pieces.walk(walk);
        if (walk.stopped()) return LoadResult::cancelled();
        if (fault && fault->status == pugi::status_no_document_element && !walk.notGpx())
            return LoadResult::rejected(textOf(Msg::GpxEmpty, {displayFileName(path)}));
        if (walk.notGpx()) return LoadResult::rejected(textOf(Msg::NotGpx));
        if (!walk.failure().empty())
            failure = walk.failure();
        else if (fault)
            failure = textOf(Msg::MalformedXml, {fault->reason}) + lineSuffix(path, pieces.lineAt(fault->offset));
        if (spent) spent->release(bytes.size());
    }
    LoadResult result = failure.empty() ? LoadResult::loaded() : LoadResult::failed(failure);
    result.altitudesOutOfRange = stats_.altitudesOutOfRange;
    return result;
}

LoadResult readGpx(std::string_view bytes, GpsRead& read) {
    GpxReader reader(read.rows, read.trackCounter);
    reader.setProgress(read.progress);
    LoadResult result = reader.loadBytes(bytes, read.path, read.spent);
    read.stats.withoutTime += reader.stats().pointsWithoutTime;
    read.stats.altitudesOutOfRange += result.altitudesOutOfRange;
    return result;
}

}  // namespace geovanta

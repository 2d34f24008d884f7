#include "input/locationhistoryreader.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "input/historyfields.h"
#include "input/isotime.h"
#include "input/jsonstream.h"
#include "input/pointfields.h"
#include "input/positionedfile.h"
#include "input/trackreader.h"
#include "input/wholefile.h"
#include "table/datatable.h"
#include "table/displaysuspension.h"
#include "table/fieldinfo.h"
#include "table/messages.h"
#include "table/numbertext.h"
#include "table/position.h"
#include "table/textcodec.h"

namespace geovanta {
namespace {

// A fix of the pretty-printed archive takes about 200 bytes, the exports'
// paths less; rows reserved but not used cost no memory.
constexpr std::size_t kTypicalPointBytes = 160;
// What the reader looks at first to tell a history from other files.
constexpr std::size_t kHeadBytes = 4096;

enum class Key : uint8_t {
    Other,
    // Containers, by the key they lie under.
    Locations, SemanticSegments, RawSignals, TimelineObjects, TimelinePath, Position, Visit, Activity,
    ActivitySegment, PlaceVisit, SimplifiedRawPath, WaypointPath, Points, Waypoints, StartTime,
    // A point's values.
    LatE7, LonE7, LatLng, Time, TimeMs, Accuracy, Altitude, OffsetMinutes,
};

struct KeyName {
    const char* name;
    Key key;
};

constexpr KeyName kContainerKeys[] = {
    {"locations", Key::Locations},
    {"semanticSegments", Key::SemanticSegments},
    {"rawSignals", Key::RawSignals},
    {"timelineObjects", Key::TimelineObjects},
    {"timelinePath", Key::TimelinePath},
    {"position", Key::Position},
    {"visit", Key::Visit},
    {"activity", Key::Activity},
    {"activitySegment", Key::ActivitySegment},
    {"placeVisit", Key::PlaceVisit},
    {"simplifiedRawPath", Key::SimplifiedRawPath},
    {"waypointPath", Key::WaypointPath},
    {"points", Key::Points},
    {"waypoints", Key::Waypoints},
    {"startTime", Key::StartTime},
};

constexpr KeyName kPointKeys[] = {
    {"latitudeE7", Key::LatE7},
    {"longitudeE7", Key::LonE7},
    {"latE7", Key::LatE7},
    {"lngE7", Key::LonE7},
    {"point", Key::LatLng},
    {"LatLng", Key::LatLng},
    {"latLng", Key::LatLng},
    {"timestamp", Key::Time},
    {"time", Key::Time},
    {"timestampMs", Key::TimeMs},
    {"accuracy", Key::Accuracy},
    {"accuracyMeters", Key::Accuracy},
    {"altitude", Key::Altitude},
    {"altitudeMeters", Key::Altitude},
    {"durationMinutesOffsetFromStartTime", Key::OffsetMinutes},
};

template <std::size_t N>
const KeyName* findKey(const KeyName (&keys)[N], std::string_view name) {
    for (const KeyName& k : keys)
        if (name == k.name) return &k;
    return nullptr;
}

// What a container is, by where it lies.
enum class Role : uint8_t {
    Ignored, Top, Locations, Segments, Segment, Path, Signals, Signal, Timeline, TimelineEntry, Place, RawPath,
    RawPoints, Point,
};

// One point as its object gives it.
struct Fix {
    std::optional<double> lat, lon, accuracy, elevFeet, offsetMinutes;
    std::optional<int64_t> timeMs;
    bool absurdAltitude = false;
};

// Turns the events of a location history into rows as its points end.
class HistoryWalk final : public JsonVisitor {
public:
    HistoryWalk(GpsRead& read, const JsonStream& stream, std::size_t base, std::size_t expectedPoints)
        : read_(read), stream_(stream), base_(base), expectedPoints_(expectedPoints) {}

    bool start(bool array) override;
    bool end() override;
    bool key(std::string_view name) override;
    bool scalar(std::string_view text, Scalar kind) override;

    bool recognised() const { return recognised_; }
    const std::string& failure() const { return failure_; }
    std::size_t points() const { return pointNumber_; }
    std::size_t passedOver() const { return passedOver_; }
    // Second line of a message: the file, and the line and byte of `offset`.
    std::string where(std::size_t offset) const {
        return textOf(Msg::AtFileLineByte, {displayFileName(read_.path), stream_.lineAt(offset), base_ + offset});
    }

private:
    Role childRole(Role parent, bool array);
    void recognise();
    bool readField(const KeyName& key, std::string_view text);
    bool endPoint(bool inPath);
    bool endSegment();
    bool timeFromSegment(Fix& fix);
    void place(const Fix& fix);
    bool fail(const std::string& reason) {
        failure_ = reason + where(stream_.offset());
        return false;
    }

    GpsRead& read_;
    const JsonStream& stream_;
    std::size_t base_;  // bytes before the text the stream reads (a byte order mark)
    std::size_t expectedPoints_;

    std::vector<Role> open_;  // containers entered and not yet left, outermost first
    const KeyName* key_ = nullptr;  // the key of the value coming, when it is one that matters
    Fix fix_;
    // The segment being read: its start, and the points of its path that
    // count from a start not yet met.
    std::optional<std::string> segmentStart_;
    std::optional<int64_t> segmentStartMs_;
    std::vector<Fix> waiting_;
    std::size_t placePoints_ = 0;  // rows made in the activity or visit being read
    bool recognised_ = false;
    uint16_t track_ = 0;
    uint32_t pointNumber_ = 0;  // counted wide, as the track reader does: names never repeat
    std::size_t passedOver_ = 0;
    std::string failure_;
};

void HistoryWalk::recognise() {
    if (recognised_) return;
    recognised_ = true;
    track_ = ++read_.trackCounter;
    reserveRows(read_.rows, expectedPoints_);
}

Role HistoryWalk::childRole(Role parent, bool array) {
    const Key key = key_ ? key_->key : Key::Other;
    switch (parent) {
        case Role::Top:
            if (!array) return Role::Ignored;
            if (key == Key::Locations || key == Key::SemanticSegments || key == Key::RawSignals ||
                key == Key::TimelineObjects)
                recognise();
            if (key == Key::Locations) return Role::Locations;
            if (key == Key::SemanticSegments) return Role::Segments;
            if (key == Key::RawSignals) return Role::Signals;
            if (key == Key::TimelineObjects) return Role::Timeline;
            return Role::Ignored;
        case Role::Locations:
        case Role::Path:
        case Role::RawPoints: return array ? Role::Ignored : Role::Point;
        case Role::Segments: return array ? Role::Ignored : Role::Segment;
        case Role::Signals: return array ? Role::Ignored : Role::Signal;
        case Role::Timeline: return array ? Role::Ignored : Role::TimelineEntry;
        case Role::Segment:
            if (array && key == Key::TimelinePath) return Role::Path;
            // A visit or an activity lies in a segment of its own, beside
            // the segments that hold the path.
            if (!array && (key == Key::Visit || key == Key::Activity)) ++passedOver_;
            return Role::Ignored;
        case Role::Signal: return !array && key == Key::Position ? Role::Point : Role::Ignored;
        case Role::TimelineEntry:
            return !array && (key == Key::ActivitySegment || key == Key::PlaceVisit) ? Role::Place : Role::Ignored;
        case Role::Place:
            return !array && (key == Key::SimplifiedRawPath || key == Key::WaypointPath) ? Role::RawPath
                                                                                          : Role::Ignored;
        case Role::RawPath: return array && (key == Key::Points || key == Key::Waypoints) ? Role::RawPoints
                                                                                          : Role::Ignored;
        default: return Role::Ignored;
    }
}

bool HistoryWalk::start(bool array) {
    // The phone's other export is an array of segments; any other file
    // starts with an object whose keys tell what it holds.
    const Role role = open_.empty() ? (array ? Role::Segments : Role::Top) : childRole(open_.back(), array);
    if (role == Role::Point) fix_ = {};
    if (role == Role::Segment) {
        segmentStart_.reset();
        segmentStartMs_.reset();
        waiting_.clear();
    }
    if (role == Role::Place) placePoints_ = 0;
    open_.push_back(role);
    key_ = nullptr;
    return true;
}

bool HistoryWalk::end() {
    const Role role = open_.back();
    open_.pop_back();
    key_ = nullptr;
    switch (role) {
        case Role::Point: return endPoint(!open_.empty() && open_.back() == Role::Path);
        case Role::Segment: return endSegment();
        case Role::Place:
            if (placePoints_ == 0) ++passedOver_;
            return true;
        default: return true;
    }
}

bool HistoryWalk::key(std::string_view name) {
    const Role role = open_.back();
    if (role == Role::Ignored) return true;
    key_ = role == Role::Point ? findKey(kPointKeys, name) : findKey(kContainerKeys, name);
    // What the segments of an array hold shows it to be a history.
    if (role == Role::Segment && key_ &&
        (key_->key == Key::StartTime || key_->key == Key::TimelinePath || key_->key == Key::Visit ||
         key_->key == Key::Activity))
        recognise();
    return true;
}

bool HistoryWalk::scalar(std::string_view text, Scalar kind) {
    if (open_.empty() || !key_) return true;
    const Role role = open_.back();
    const KeyName* key = key_;
    key_ = nullptr;
    // null, or a flag where a value belongs, says nothing.
    if (kind == Scalar::Literal) return true;
    if (role == Role::Point) return readField(*key, text);
    if (role == Role::Segment && key->key == Key::StartTime) {
        segmentStart_.emplace(text);
        segmentStartMs_.reset();
    }
    return true;
}

bool HistoryWalk::readField(const KeyName& key, std::string_view text) {
    std::optional<std::string> error;
    const char* name = key.name;
    switch (key.key) {
        case Key::LatE7: error = readE7(text, name, 90, fix_.lat); break;
        case Key::LonE7: error = readE7(text, name, 180, fix_.lon); break;
        case Key::LatLng: error = readLatLngText(text, name, fix_.lat, fix_.lon); break;
        case Key::Time:
            fix_.timeMs = parseIsoTimeMs(text);
            if (!fix_.timeMs) error = textOf(Msg::InvalidDateTime, {quotedExcerpt(text)});
            break;
        case Key::TimeMs: {
            int64_t ms = 0;
            error = readEpochMs(text, ms);
            if (!error) fix_.timeMs = ms;
            break;
        }
        case Key::Accuracy: error = readNumberField(text, name, fix_.accuracy); break;
        case Key::OffsetMinutes: error = readNumberField(text, name, fix_.offsetMinutes); break;
        case Key::Altitude: {
            if (text.empty()) break;
            const std::optional<double> metres = parseNumberOrInfinity(text);
            if (!metres) {
                error = invalidFloatFieldMessage(quotedExcerpt(text), name);
                break;
            }
            fix_.elevFeet = std::isfinite(*metres) ? feetFromMetres(*metres) : *metres;
            fix_.absurdAltitude = !altitudeInRange(*fix_.elevFeet);
            if (fix_.absurdAltitude) fix_.elevFeet = kNoAltitudeFeet;
            break;
        }
        default: break;
    }
    return error ? fail(*error) : true;
}

bool HistoryWalk::timeFromSegment(Fix& fix) {
    if (!segmentStartMs_) {
        segmentStartMs_ = parseIsoTimeMs(*segmentStart_);
        if (!segmentStartMs_) return fail(textOf(Msg::InvalidDateTime, {quotedExcerpt(*segmentStart_)}));
    }
    fix.timeMs = addMinutes(*segmentStartMs_, *fix.offsetMinutes);
    if (!fix.timeMs)
        return fail(textOf(Msg::OutOfRangeForField,
                           {formatShortest(*fix.offsetMinutes), "durationMinutesOffsetFromStartTime"}));
    return true;
}

bool HistoryWalk::endPoint(bool inPath) {
    Fix fix = fix_;
    if (!fix.timeMs && fix.offsetMinutes && inPath) {
        // Keys come in any order: the segment's start may follow its path.
        if (!segmentStart_) {
            waiting_.push_back(fix);
            return true;
        }
        if (!timeFromSegment(fix)) return false;
    }
    place(fix);
    return true;
}

bool HistoryWalk::endSegment() {
    std::vector<Fix> waiting;
    waiting.swap(waiting_);
    for (Fix& fix : waiting) {
        if (segmentStart_ && !timeFromSegment(fix)) return false;
        place(fix);
    }
    return true;
}

void HistoryWalk::place(const Fix& fix) {
    // An object with neither a position nor a time is no point at all.
    if (!fix.timeMs && !fix.lat && !fix.lon) return;
    GpsReadStats& stats = read_.stats;
    if (!fix.timeMs) {
        ++stats.withoutTime;
    } else if (!fix.lat || !fix.lon) {
        ++stats.withoutPosition;
    } else if (fix.accuracy && *fix.accuracy > read_.options.maxAccuracyM) {
        ++stats.inaccurate;
    } else {
        PointFields fields;
        fields.timeMs = *fix.timeMs;
        fields.lat = fix.lat;
        fields.lon = fix.lon;
        fields.elev = fix.elevFeet;
        appendPointRow(read_.rows, 'T', TrackReader::pointName(track_, ++pointNumber_), fields);
        if (fix.absurdAltitude) ++stats.altitudesOutOfRange;
        ++placePoints_;
    }
}

std::string_view withoutByteOrderMark(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    return bytes;
}

// The first character that is not JSON's white space, or 0.
char firstCharacter(std::string_view text) {
    const std::size_t at = text.find_first_not_of(" \t\r\n");
    return at == std::string_view::npos ? '\0' : text[at];
}

// The file's bytes a piece at a time, up to the size it had when opened (a
// log still being written would never end).
class FilePieces {
public:
    FilePieces(PositionedFile& file, std::size_t from, std::size_t pieceBytes)
        : file_(file), offset_(from), buffer_(new char[pieceBytes]), pieceBytes_(pieceBytes) {}

    std::string_view next() {
        if (failed_ || offset_ >= file_.size()) return {};
        const auto count = static_cast<std::size_t>(std::min<uint64_t>(pieceBytes_, file_.size() - offset_));
        const long long got = file_.readAt(offset_, buffer_.get(), count);
        if (got < 0) failed_ = true;
        if (got <= 0) return {};
        offset_ += static_cast<uint64_t>(got);
        return {buffer_.get(), static_cast<std::size_t>(got)};
    }
    bool failed() const { return failed_; }

private:
    PositionedFile& file_;
    uint64_t offset_;
    std::unique_ptr<char[]> buffer_;
    std::size_t pieceBytes_;
    bool failed_ = false;
};

// Reads the text that follows `base` bytes (a byte order mark) of a file of
// `size` bytes, whose first bytes are `head`, piece by piece from `next`.
LoadResult readHistory(std::string_view head, std::size_t size, std::size_t base, JsonStream::NextPiece next,
                       GpsRead& read) {
    const char first = firstCharacter(head.substr(base));
    if ((first == '\0' && head.size() == size) || (first != '\0' && first != '{' && first != '['))
        return LoadResult::rejected(textOf(Msg::NotLocationHistory));

    JsonStream stream(std::move(next), size - base);
    stream.setProgress(read.progress);
    if (FileBytes* spent = read.spent) stream.onPassed([spent, base](std::size_t offset) { spent->release(base + offset); });
    HistoryWalk walk(read, stream, base, size / kTypicalPointBytes);
    JsonEnd end;
    {
        DisplaySuspension suspended(read.rows);
        end = stream.read(walk);
    }
    if (read.spent) read.spent->release(size);
    if (end.kind == JsonEnd::Kind::Cancelled) return LoadResult::cancelled();

    LoadResult result;
    if (end.kind == JsonEnd::Kind::TooDeep) {
        // Hostile whatever it was meant to be: said as such, not as a file of another kind.
        result = LoadResult::failed(textOf(Msg::JsonTooDeep, {JsonStream::kMaxDepth}) + walk.where(end.offset));
    } else if (!walk.recognised()) {
        return LoadResult::rejected(textOf(Msg::NotLocationHistory));
    } else if (end.kind == JsonEnd::Kind::Stopped) {
        result = LoadResult::failed(walk.failure());
    } else if (end.kind == JsonEnd::Kind::Malformed) {
        result = LoadResult::failed(textOf(Msg::MalformedJson, {end.reason}) + walk.where(end.offset));
    } else if (walk.points() == 0 && walk.passedOver() > 0) {
        read.stats.warnings.push_back(textOfCount(Msg::NoPathOnlyVisits, walk.passedOver(), {walk.passedOver()}));
    }
    return result;
}

}  // namespace

LoadResult readLocationHistory(std::string_view bytes, GpsRead& read) {
    return readLocationHistory(bytes, read, JsonStream::kDefaultPieceBytes);
}

LoadResult readLocationHistory(std::string_view bytes, GpsRead& read, std::size_t pieceBytes) {
    const std::size_t base = bytes.size() - withoutByteOrderMark(bytes).size();
    return readHistory(bytes, bytes.size(), base, JsonStream::piecesOf(bytes.substr(base), pieceBytes), read);
}

LoadResult readLocationHistoryFile(GpsRead& read) { return readLocationHistoryFile(read, JsonStream::kDefaultPieceBytes); }

LoadResult readLocationHistoryFile(GpsRead& read, std::size_t pieceBytes) {
    PositionedFile file;
    if (file.open(read.path) != PositionedFile::OpenResult::Opened)
        return LoadResult::failed(cannotOpenMessage(read.path, file.failureReason()));
    char head[kHeadBytes];
    const long long got = file.readAt(0, head, sizeof head);
    if (got < 0) return LoadResult::failed(cannotOpenMessage(read.path, file.failureReason()));
    const std::string_view headView(head, static_cast<std::size_t>(got));
    const std::size_t base = headView.size() - withoutByteOrderMark(headView).size();
    FilePieces pieces(file, base, std::max<std::size_t>(pieceBytes, 1));
    LoadResult result = readHistory(headView, static_cast<std::size_t>(file.size()), base,
                                    [&pieces] { return pieces.next(); }, read);
    // The text seemed to end where the file could not be read further.
    if (pieces.failed() && result.status != LoadResult::Status::Cancelled)
        result = LoadResult::failed(cannotOpenMessage(read.path, file.failureReason()));
    return result;
}

bool looksLikeLocationHistory(std::string_view head) {
    const std::string_view text = withoutByteOrderMark(head);
    const auto holds = [text](std::string_view key) { return text.find(key) != std::string_view::npos; };
    switch (firstCharacter(text)) {
        case '{':
            return holds("\"semanticSegments\"") || holds("\"timelineObjects\"") || holds("\"rawSignals\"") ||
                   (holds("\"locations\"") && (holds("\"latitudeE7\"") || holds("\"timestampMs\"")));
        case '[':
            return holds("\"startTime\"") &&
                   (holds("\"timelinePath\"") || holds("\"visit\"") || holds("\"activity\""));
        default: return false;
    }
}

}  // namespace geovanta

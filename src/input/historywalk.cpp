#include "input/historywalk.h"

#include <cmath>

#include "input/historyfields.h"
#include "input/isotime.h"
#include "input/pointfields.h"
#include "input/trackreader.h"
#include "table/fieldinfo.h"
#include "table/messages.h"
#include "table/numbertext.h"
#include "table/position.h"
#include "table/textcodec.h"

namespace geovanta {
namespace {

enum class Key : uint8_t {
    Other,
    // Containers, by the key they lie under.
    Locations, SemanticSegments, RawSignals, TimelineObjects, TimelinePath, Position, Visit, Activity,
    ActivitySegment, PlaceVisit, SimplifiedRawPath, WaypointPath, Points, Waypoints, StartTime,
    // A point's values.
    LatE7, LonE7, LatLng, Time, TimeMs, Accuracy, Altitude, OffsetMinutes,
};

}  // namespace

struct HistoryWalk::KeyName {
    std::string_view name;  // a literal: name.data() ends with a NUL
    Key key;
};

namespace {

using KeyName = HistoryWalk::KeyName;
using Role = HistoryWalk::Role;

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

}  // namespace

std::string HistoryWalk::where(std::size_t offset) const {
    return textOf(Msg::AtFileLineByte, {displayFileName(read_.path), stream_.lineAt(offset), base_ + offset});
}

bool HistoryWalk::fail(const std::string& reason) {
    failure_ = reason + where(stream_.offset());
    return false;
}

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
    const char* name = key.name.data();
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

}  // namespace geovanta

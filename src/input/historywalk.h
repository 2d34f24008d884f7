#pragma once
// The events of a location history's JSON turned into rows as its points
// end. What a container is follows from where it lies: the archive's
// "locations", the exports' segments with their timelinePath and the raw
// signals' positions, the older history's timelineObjects with their
// simplifiedRawPath and waypointPath; anything else is passed over unread.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "input/gpsread.h"
#include "input/jsonstream.h"

namespace geovanta {

class HistoryWalk final : public JsonVisitor {
public:
    // `base`: bytes of the file before the text the stream reads (a byte
    // order mark), for the offsets in messages.
    HistoryWalk(GpsRead& read, const JsonStream& stream, std::size_t base, std::size_t expectedPoints)
        : read_(read), stream_(stream), base_(base), expectedPoints_(expectedPoints) {}

    bool start(bool array) override;
    bool end() override;
    bool key(std::string_view name) override;
    bool scalar(std::string_view text, Scalar kind) override;

    // Whether the file showed itself to be a history; until then nothing
    // has been appended and no track counted.
    bool recognised() const { return recognised_; }
    // Why the walk stopped, with where(), when it did.
    const std::string& failure() const { return failure_; }
    std::size_t points() const { return pointNumber_; }
    // Visits and activities without a path of their own.
    std::size_t passedOver() const { return passedOver_; }
    // Second line of a message: the file, and the line and byte of `offset`.
    std::string where(std::size_t offset) const;

    // What a container is, by where it lies.
    enum class Role : uint8_t {
        Ignored, Top, Locations, Segments, Segment, Path, Signals, Signal, Timeline, TimelineEntry, Place,
        RawPath, RawPoints, Point,
    };
    struct KeyName;

private:
    // One point as its object gives it.
    struct Fix {
        std::optional<double> lat, lon, accuracy, elevFeet, offsetMinutes;
        std::optional<int64_t> timeMs;
        bool absurdAltitude = false;
    };

    Role childRole(Role parent, bool array);
    void recognise();
    bool readField(const KeyName& key, std::string_view text);
    bool endPoint(bool inPath);
    bool endSegment();
    bool timeFromSegment(Fix& fix);
    void place(const Fix& fix);
    bool fail(const std::string& reason);

    GpsRead& read_;
    const JsonStream& stream_;
    std::size_t base_;
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

}  // namespace geovanta

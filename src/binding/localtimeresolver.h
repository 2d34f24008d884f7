#pragma once
// A camera on local time: its clock shows the wall-clock time where each
// photograph was taken, with no zone written beside it. Which zone that was
// follows from the track: of the zones the track passes through, the one
// whose reading of the photograph's time puts it on the track inside that
// very zone. Summer time follows the system's tz database; a reading that
// could mean two instants (the hour a change to winter time repeats, the
// hour a change to summer time skips) takes the one on the track, else the
// one by the offset in force before the change, which is the earlier of a
// repeated hour. Where several zones fit at different instants, the earliest
// wins.
//
// The pass, once the track's times are shifted:
//   const TrackTimeline track = TrackTimeline::fromTable(table);
//   const ZoneLookup zones(zoneData);
//   const LocalTimeResolver local(track, zones, params.tolerance);
//   for each photograph of a camera on local time without a zone of its own:
//       const LocalTimeResult r = local.resolve(time + the camera's own offset);
//       its shifted time is r.utcMs; it is placed only when the zone is consistent.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "binding/tracktimeline.h"
#include "geo/zonelookup.h"
#include "geo/zonerules.h"

namespace geovanta {

enum class LocalTimeOutcome : uint8_t {
    Resolved,          // a zone puts the photograph on the track inside itself
    NotOnTrack,        // no zone's reading lands on the track
    NoConsistentZone,  // readings land on the track, each in another zone than its own
    NoZones,           // nothing to read by: no zones known, or an empty track
};

struct LocalTimeResult {
    LocalTimeOutcome outcome = LocalTimeOutcome::NoZones;
    // Resolved: the instant, ms since 1899-12-30 UTC. Otherwise the reading
    // by the zone of the track point nearest in time, so that the photograph
    // still shows how far from the track it lies; the wall time with NoZones.
    int64_t utcMs = 0;
    ZoneIndex zone = 0;          // the zone read by; 0 with NoZones
    std::string_view zoneName;   // its IANA id, held by the zone lookup
    int32_t offsetSeconds = 0;   // east of UTC, as the reading was read
    // Another zone or reading also fit, at another instant, and lost by the rules above.
    bool ambiguous = false;
    // The wall time does not exist on the zone's clock (a skipped hour) and
    // was read by the offset before the change.
    bool skippedHour = false;

    bool operator==(const LocalTimeResult&) const = default;
};

class LocalTimeResolver {
public:
    // Keeps references to both; they must outlive the resolver.
    LocalTimeResolver(const TrackTimeline& track, const ZoneLookup& zones, int32_t toleranceSeconds);

    // `wallMs`: the camera's reading, ms since 1899-12-30, with the camera's
    // own offset for a clock that is also wrong already added.
    LocalTimeResult resolve(int64_t wallMs) const;

    // The zones the track passes through, in the order it meets them.
    std::vector<ZoneIndex> zones() const;

private:
    // A stretch of the track in one zone, from point `first` on. A stretch
    // at sea also accepts the land zones last left and next reached: a
    // ship's clock keeps a port's time.
    struct Span {
        std::size_t first = 0;
        ZoneIndex zone = 0;
        ZoneIndex landBefore = 0;
        ZoneIndex landAfter = 0;
    };
    struct Candidate {
        ZoneIndex zone;
        ZoneRules rules;
    };

    void findSpans();
    void addChanges(std::size_t from, ZoneIndex fromZone, std::size_t to, ZoneIndex toZone);
    ZoneIndex zoneOfPoint(std::size_t point) const;
    const Span& spanOf(std::size_t point) const;
    bool consistent(ZoneIndex zone, const TrackTimeline::Position& at) const;
    LocalTimeResult fallback(int64_t wallMs, LocalTimeOutcome outcome) const;

    const TrackTimeline& track_;
    const ZoneLookup& zones_;
    int32_t tolerance_;
    std::vector<Span> spans_;
    std::vector<Candidate> candidates_;
};

}  // namespace geovanta

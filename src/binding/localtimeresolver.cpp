#include "binding/localtimeresolver.h"

#include <algorithm>
#include <string>

namespace geovanta {
namespace {

// Points apart at which the track's zone is looked up; between two looks
// that differ, halving finds each change to the point. A stay in another
// zone shorter than this many points, between two looks in the same zone,
// goes unseen.
constexpr std::size_t kSampleStride = 16;

}  // namespace

LocalTimeResolver::LocalTimeResolver(const TrackTimeline& track, const ZoneLookup& zones, int32_t toleranceSeconds)
    : track_(track), zones_(zones), tolerance_(toleranceSeconds) {
    if (track_.points().empty() || zones_.empty()) return;
    findSpans();
    for (const Span& s : spans_) {
        if (s.zone == 0 || std::any_of(candidates_.begin(), candidates_.end(),
                                       [&](const Candidate& c) { return c.zone == s.zone; }))
            continue;
        // A zone the system's tz database lacks (one newer than it) cannot be read by.
        if (auto rules = ZoneRules::load(std::string(zones_.name(s.zone)))) candidates_.push_back({s.zone, *rules});
    }
}

ZoneIndex LocalTimeResolver::zoneOfPoint(std::size_t point) const {
    const TrackTimeline::Point& p = track_.points()[point];
    return zones_.indexAt(p.lat, p.lon);
}

void LocalTimeResolver::addChanges(std::size_t from, ZoneIndex fromZone, std::size_t to, ZoneIndex toZone) {
    if (to == from + 1) {
        spans_.push_back({to, toZone});
        return;
    }
    const std::size_t mid = from + (to - from) / 2;
    const ZoneIndex midZone = zoneOfPoint(mid);
    if (midZone != fromZone) addChanges(from, fromZone, mid, midZone);
    if (midZone != toZone) addChanges(mid, midZone, to, toZone);
}

void LocalTimeResolver::findSpans() {
    const std::size_t n = track_.points().size();
    ZoneIndex zone = zoneOfPoint(0);
    spans_.push_back({0, zone});
    for (std::size_t at = 0; at + 1 < n;) {
        const std::size_t next = std::min(at + kSampleStride, n - 1);
        const ZoneIndex nextZone = zoneOfPoint(next);
        if (nextZone != zone) addChanges(at, zone, next, nextZone);
        at = next;
        zone = nextZone;
    }
    const auto land = [this](ZoneIndex z) { return z != 0 && !zones_.atSea(z); };
    ZoneIndex last = 0;
    for (Span& s : spans_) s.landBefore = last = land(s.zone) ? s.zone : last;
    last = 0;
    for (auto s = spans_.rbegin(); s != spans_.rend(); ++s) s->landAfter = last = land(s->zone) ? s->zone : last;
}

const LocalTimeResolver::Span& LocalTimeResolver::spanOf(std::size_t point) const {
    const auto after = std::upper_bound(spans_.begin(), spans_.end(), point,
                                        [](std::size_t p, const Span& s) { return p < s.first; });
    return *(after - 1);  // the first span starts at point 0
}

bool LocalTimeResolver::consistent(ZoneIndex zone, const TrackTimeline::Position& at) const {
    const ZoneIndex here = zones_.indexAt(at.lat, at.lon);
    if (here == zone) return true;
    if (!zones_.atSea(here)) return false;
    return zone == spanOf(at.leg).landBefore || zone == spanOf(at.leg + 1).landAfter;
}

std::vector<ZoneIndex> LocalTimeResolver::zones() const {
    std::vector<ZoneIndex> out;
    for (const Candidate& c : candidates_) out.push_back(c.zone);
    return out;
}

LocalTimeResult LocalTimeResolver::fallback(int64_t wallMs, LocalTimeOutcome outcome) const {
    // Offsets are hours at most, so the wall time read as UTC finds the
    // track's zone near enough to tell how far off the photograph lies.
    const auto& points = track_.points();
    auto near = std::lower_bound(points.begin(), points.end(), wallMs,
                                 [](const TrackTimeline::Point& p, int64_t t) { return p.timeMs < t; });
    if (near == points.end() || (near != points.begin() && wallMs - (near - 1)->timeMs < near->timeMs - wallMs))
        --near;
    const ZoneIndex zone = spanOf(static_cast<std::size_t>(near - points.begin())).zone;
    const auto found = std::find_if(candidates_.begin(), candidates_.end(),
                                    [&](const Candidate& c) { return c.zone == zone; });
    const Candidate& c = found != candidates_.end() ? *found : candidates_.front();
    const ZoneRules::Readings r = c.rules.readingsOf(wallMs);
    LocalTimeResult out;
    out.outcome = outcome;
    out.utcMs = r.at[0].utcMs;
    out.zone = c.zone;
    out.zoneName = zones_.name(c.zone);
    out.offsetSeconds = r.at[0].offsetSeconds;
    out.skippedHour = r.skipped;
    return out;
}

LocalTimeResult LocalTimeResolver::resolve(int64_t wallMs) const {
    if (candidates_.empty()) {
        LocalTimeResult none;
        none.utcMs = wallMs;
        return none;
    }
    struct Fit {
        int64_t utcMs;
        int32_t offsetSeconds;
        const Candidate* candidate;
        bool skipped;
    };
    std::vector<Fit> fits;  // every consistent reading, each zone's readings in order of preference
    std::vector<std::size_t> zoneBest;
    bool onTrack = false;
    for (const Candidate& c : candidates_) {
        const ZoneRules::Readings r = c.rules.readingsOf(wallMs);
        bool zoneFits = false;
        for (int i = 0; i < r.count; ++i) {
            const auto at = track_.positionAt(r.at[i].utcMs, tolerance_);
            if (!at) continue;
            onTrack = true;
            if (!consistent(c.zone, *at)) continue;
            if (!zoneFits) zoneBest.push_back(fits.size());
            zoneFits = true;
            fits.push_back({r.at[i].utcMs, r.at[i].offsetSeconds, &c, r.skipped});
        }
    }
    if (fits.empty()) return fallback(wallMs, onTrack ? LocalTimeOutcome::NoConsistentZone : LocalTimeOutcome::NotOnTrack);

    // Among the zones, the earliest instant; at the same instant a land zone
    // names the place better than the sea's.
    const Fit* best = &fits[zoneBest.front()];
    for (std::size_t i : zoneBest) {
        const Fit& f = fits[i];
        const bool sea = zones_.atSea(f.candidate->zone), bestSea = zones_.atSea(best->candidate->zone);
        if (f.utcMs < best->utcMs || (f.utcMs == best->utcMs && bestSea && !sea)) best = &f;
    }
    LocalTimeResult out;
    out.outcome = LocalTimeOutcome::Resolved;
    out.utcMs = best->utcMs;
    out.zone = best->candidate->zone;
    out.zoneName = zones_.name(out.zone);
    out.offsetSeconds = best->offsetSeconds;
    out.skippedHour = best->skipped;
    out.ambiguous = std::any_of(fits.begin(), fits.end(), [&](const Fit& f) { return f.utcMs != best->utcMs; });
    return out;
}

}  // namespace geovanta

#include "map/hittest.h"

namespace geovanta {
namespace {

// Squared distances in world units; the nearest point within reach wins, and
// of equally near ones the first, which is the one the map draws.
struct Nearest {
    WorldPoint from;
    double best;  // squared reach, then the squared distance of the best so far
    std::optional<std::size_t> row;

    void offer(WorldPoint p, std::size_t r) {
        const double dx = p.x - from.x, dy = p.y - from.y;
        const double d2 = dx * dx + dy * dy;
        if (d2 < best || (!row && d2 <= best)) {
            best = d2;
            row = r;
        }
    }
};

std::optional<std::size_t> nearestMark(const std::vector<MapMark>& marks, WorldPoint from, double reach2) {
    Nearest n{from, reach2, std::nullopt};
    for (const MapMark& m : marks) n.offer(m.at, m.row);
    return n.row;
}

}  // namespace

std::optional<MapHit> hitTest(const MapData& data, const Viewport& view, ScreenPoint at, double radius) {
    const WorldPoint from = view.toWorld(at);
    const double reach = radius / view.scale();
    const double reach2 = reach * reach;
    if (auto row = nearestMark(data.photos, from, reach2)) return MapHit{MapHit::Kind::Photo, *row};
    if (auto row = nearestMark(data.waypoints, from, reach2)) return MapHit{MapHit::Kind::Waypoint, *row};
    Nearest n{from, reach2, std::nullopt};
    for (const MapTrack& track : data.tracks) {
        for (std::size_t i = 0; i < track.points.size(); ++i) n.offer(track.points[i], track.rows[i]);
    }
    if (n.row) return MapHit{MapHit::Kind::TrackPoint, *n.row};
    return std::nullopt;
}

}  // namespace geovanta

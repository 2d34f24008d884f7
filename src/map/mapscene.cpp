#include "map/mapscene.h"

#include <cmath>

namespace geovanta {
namespace {

struct Box {
    double left, top, right, bottom;
    bool contains(ScreenPoint p) const { return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom; }
};

// Which sides of the box a point lies beyond; two points beyond the same
// side make a segment that cannot cross the box.
int outcode(ScreenPoint p, const Box& b) {
    return (p.x < b.left) | (p.x > b.right) << 1 | (p.y < b.top) << 2 | (p.y > b.bottom) << 3;
}

void addTrack(std::vector<ScenePolyline>& out, std::size_t trackIndex, const MapTrack& track, const Viewport& view,
              const Box& box) {
    const TrackLod::Level& level = track.lod.level(track.points, view.zoom());
    const std::size_t n = level.size(track.points);
    if (n == 0) return;
    auto screenAt = [&](std::size_t i) { return view.toScreen(track.points[level.index(i)]); };
    if (n == 1) {
        if (const ScreenPoint p = screenAt(0); box.contains(p)) out.push_back({trackIndex, {p}});
        return;
    }
    const WorldPoint topLeft = view.toWorld({box.left, box.top});
    const WorldPoint bottomRight = view.toWorld({box.right, box.bottom});
    const WorldRect seen{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};

    ScenePolyline* run = nullptr;  // the piece being extended; ends at the previous point when open
    for (std::size_t b = 0; b < level.blocks.size(); ++b) {
        const WorldRect& r = level.blocks[b];
        if (r.right < seen.left || r.left > seen.right || r.bottom < seen.top || r.top > seen.bottom) {
            run = nullptr;  // nothing of this block shows; the line breaks off
            continue;
        }
        const std::size_t first = b * TrackLod::kBlock;
        const std::size_t end = std::min(n, first + TrackLod::kBlock + 1);
        ScreenPoint prev = screenAt(first);
        int prevCode = outcode(prev, box);
        for (std::size_t i = first + 1; i < end; ++i) {
            const ScreenPoint next = screenAt(i);
            const int nextCode = outcode(next, box);
            ScreenPoint a = prev, c = next;
            if ((prevCode & nextCode) == 0 && clipSegment(a, c, box.left, box.top, box.right, box.bottom)) {
                if (!run || prevCode != 0) {
                    out.push_back({trackIndex, {a}});
                    run = &out.back();
                }
                run->points.push_back(c);
                if (nextCode != 0) run = nullptr;
            } else {
                run = nullptr;
            }
            prev = next;
            prevCode = nextCode;
        }
    }
}

// Marks visible in the box, one per occupied cell, first come first kept.
std::vector<SceneMark> thinMarks(const std::vector<MapMark>& marks, const Viewport& view, const Box& box) {
    const double cell = MapScene::kMarkCell;
    const auto columns = static_cast<std::size_t>((box.right - box.left) / cell) + 1;
    const auto rows = static_cast<std::size_t>((box.bottom - box.top) / cell) + 1;
    std::vector<bool> taken(columns * rows);
    std::vector<SceneMark> out;
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const ScreenPoint p = view.toScreen(marks[i].at);
        if (!box.contains(p)) continue;
        const auto c = static_cast<std::size_t>((p.x - box.left) / cell);
        const auto r = static_cast<std::size_t>((p.y - box.top) / cell);
        if (c >= columns || r >= rows || taken[r * columns + c]) continue;
        taken[r * columns + c] = true;
        out.push_back({p, i, false});
    }
    return out;
}

// Gives a label to each waypoint whose label cell, and the one to its right
// that a long name runs into, no other label has claimed.
void placeLabels(std::vector<SceneMark>& marks, const Box& box) {
    const auto columns = static_cast<std::size_t>((box.right - box.left) / MapScene::kLabelWidth) + 2;
    const auto rows = static_cast<std::size_t>((box.bottom - box.top) / MapScene::kLabelHeight) + 1;
    std::vector<bool> taken(columns * rows);
    for (SceneMark& m : marks) {
        const auto c = static_cast<std::size_t>((m.at.x - box.left) / MapScene::kLabelWidth);
        const auto r = static_cast<std::size_t>((m.at.y - box.top) / MapScene::kLabelHeight);
        if (c + 1 >= columns || r >= rows) continue;
        const std::size_t cellIndex = r * columns + c;
        if (taken[cellIndex] || taken[cellIndex + 1]) continue;
        taken[cellIndex] = taken[cellIndex + 1] = true;
        m.labelled = true;
    }
}

}  // namespace

bool clipSegment(ScreenPoint& a, ScreenPoint& b, double left, double top, double right, double bottom) {
    // Liang-Barsky: the segment is a + t (b - a), 0 <= t <= 1.
    const double dx = b.x - a.x, dy = b.y - a.y;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - left, right - a.x, a.y - top, bottom - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            if (t > t1) return false;
            if (t > t0) t0 = t;
        } else {
            if (t < t0) return false;
            if (t < t1) t1 = t;
        }
    }
    const ScreenPoint start = a;
    if (t1 < 1) b = {start.x + t1 * dx, start.y + t1 * dy};
    if (t0 > 0) a = {start.x + t0 * dx, start.y + t0 * dy};
    return true;
}

MapScene MapScene::build(const MapData& data, const Viewport& view, std::optional<std::size_t> currentRow) {
    MapScene scene;
    const Box lineBox{-kMargin, -kMargin, view.width() + kMargin, view.height() + kMargin};
    for (std::size_t t = 0; t < data.tracks.size(); ++t) addTrack(scene.lines, t, data.tracks[t], view, lineBox);

    const Box panel{0, 0, view.width(), view.height()};
    scene.waypoints = thinMarks(data.waypoints, view, panel);
    placeLabels(scene.waypoints, panel);
    scene.photos = thinMarks(data.photos, view, panel);

    if (currentRow) {
        if (const auto at = data.positionOf(*currentRow)) {
            const ScreenPoint p = view.toScreen(*at);
            if (lineBox.contains(p)) scene.current = p;
        }
    }
    return scene;
}

}  // namespace geovanta

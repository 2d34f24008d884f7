#pragma once
// The track as the pass sees it, in time order: every non-photo row's
// shifted time and position, kept apart from the table so that a
// photograph's candidate instants can each be placed by a binary search
// before the table itself is sorted.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace geovanta {

class DataTable;

class TrackTimeline {
public:
    struct Point {
        int64_t timeMs = 0;  // shifted, UTC
        double lat = 0;
        double lon = 0;
    };
    struct Position {
        double lat = 0;
        double lon = 0;
        std::size_t leg = 0;  // the point before it: the photo lies between leg and leg + 1
    };

    TrackTimeline() = default;
    // Points in any order; equal times keep the order given, as the table's sort does.
    explicit TrackTimeline(std::vector<Point> points);
    // The table's non-photo rows by their shifted time (VTime), so once the
    // pass has shifted the track's times.
    static TrackTimeline fromTable(const DataTable& table);

    const std::vector<Point>& points() const { return points_; }

    // Where the pass would place a photograph at this instant: between two
    // points and closer than the tolerance to one of them, interpolated as
    // the pass does; nothing otherwise.
    std::optional<Position> positionAt(int64_t utcMs, int32_t toleranceSeconds) const;

private:
    std::vector<Point> points_;
};

}  // namespace geovanta

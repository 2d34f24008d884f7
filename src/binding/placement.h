#pragma once
// Why a photograph is placed or not. The binding pass decides with
// decidePlacement(); the explanations below run the same decision over the
// table as it stands, so the window, its tooltips and the command-line tool
// give the same reason the pass acted on, and nothing kept per row can fall
// out of step when rows are inserted, edited or deleted between passes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "binding/calcpositions.h"
#include "binding/privacyzones.h"
#include "table/datatable.h"

namespace geovanta {

enum class PlacementKind : uint8_t {
    Placed,       // between two points, closer than the tolerance to one of them
    BeforeTrack,  // earlier than the first point (or at its time but added before it)
    AfterTrack,   // later than the last point
    InGap,        // between two points, neither of them close enough
    NoTrack,      // the table holds no point at all
    ByHand,       // placed by the person; the pass leaves it where it was put
    InPrivacyZone,  // close enough in time, but where it would be lies in a privacy zone
    // Its camera keeps local time and no zone reads it onto the track inside
    // itself, or no zones could be read at all.
    NoLocalZone,
};

struct Placement {
    PlacementKind kind = PlacementKind::NoTrack;
    // Time to the point that matters, in milliseconds, never negative: the
    // nearer of the two neighbours (Placed, InGap), the first point
    // (BeforeTrack) or the last one (AfterTrack); 0 for NoTrack and ByHand.
    int64_t distanceMs = 0;
    // The photograph's time is its file's modification time, not the EXIF shooting time.
    bool fromFileDate = false;
    // Why, when the EXIF date-time was there but no date: its text.
    std::string invalidExifDate;
    // The file's type ("JPEG", "CR3"), told with a time from the file's date.
    std::string fileType{};
    // With the photographs' own zones in use: the zone that brought this
    // one's time to UTC, or nothing when it has none and the photo offset
    // alone applied.
    bool zonesUsed = false;
    std::optional<int> zoneMinutes{};
    // InPrivacyZone: the zone's name.
    std::string privacyZone{};
    // Its camera keeps local time: the zone the pass read its time by.
    std::optional<LocalZone> localZone{};

    bool operator==(const Placement&) const = default;
};

// The pass's decision for a photograph at shifted time `t` whose neighbouring
// non-photo rows, in table order, are at `prev` and `next` (absent before the
// first and after the last). Placed means strictly closer than
// `toleranceSeconds` to at least one neighbour.
Placement decidePlacement(int64_t t, std::optional<int64_t> prev, std::optional<int64_t> next,
                          int32_t toleranceSeconds);

// Where the pass puts a photograph taken at `t` on the leg between two
// non-photo rows: linearly in time, `r` from 0 at the first to 1 at the
// second. Ends of equal time leave nothing to interpolate: the photograph
// takes the first.
struct LegEnd {
    double lat = 0, lon = 0;
    int64_t timeMs = 0;
};
struct LegPosition {
    double lat = 0, lon = 0;
    long double r = 0;
};
LegPosition positionOnLeg(const LegEnd& from, const LegEnd& to, int64_t t);

// The non-photo rows around `row` in table order: the leg it lies on.
struct LegRows {
    std::optional<std::size_t> prev, next;
};
LegRows legAround(const DataTable& table, std::size_t row);

// Walks the table in its order, as the pass does: onPoint(row) for every
// non-photo row, then onPhoto(row, prev, next) for each photograph of the leg
// that row closes, with the rows of its neighbours (std::nullopt before the
// first and after the last point). Photographs after the last point are
// visited at the end.
template <typename OnPoint, typename OnPhoto>
void walkLegs(const DataTable& table, OnPoint&& onPoint, OnPhoto&& onPhoto) {
    std::optional<std::size_t> prev;
    std::size_t legStart = 0;  // first row after `prev`
    const std::size_t rows = table.rowCount();
    for (std::size_t row = 0; row < rows; ++row) {
        if (table.isPhoto(row)) continue;
        onPoint(row);
        for (std::size_t photo = legStart; photo < row; ++photo) onPhoto(photo, prev, std::optional<std::size_t>(row));
        prev = row;
        legStart = row + 1;
    }
    for (std::size_t photo = legStart; photo < rows; ++photo) onPhoto(photo, prev, std::optional<std::size_t>());
}

// A photograph read as local time for which the pass found no consistent
// zone: it is not placed, wherever its time falls.
bool heldByLocalZone(const DataTable& table, std::size_t row);

// The photograph at `row` (a row of kind "F"), decided over the table as it
// stands; one placed by hand is ByHand whatever its times say. `photoZones`
// as the pass had it (BindingParams::photoZones).
Placement explainPlacement(const DataTable& table, std::size_t row, int32_t toleranceSeconds,
                           bool photoZones = false);
// The same with every rule of the pass, its privacy zones included.
Placement explainPlacement(const DataTable& table, std::size_t row, const BindingParams& params);

struct PhotoPlacement {
    std::size_t row;
    Placement placement;
};

struct PlacementSummary {
    std::size_t points = 0;  // non-photo rows
    std::size_t photos = 0;
    std::size_t placed = 0;  // by the pass
    std::size_t byHand = 0;
    std::size_t beforeTrack = 0;
    std::size_t afterTrack = 0;
    std::size_t inGaps = 0;
    std::size_t noTrack = 0;
    std::size_t inPrivacyZones = 0;
    std::size_t fromFileDate = 0;  // photographs timed by their file's date, placed or not
    std::size_t noLocalZone = 0;
    // The photographs of each camera, by the Camera column's name.
    struct Camera {
        std::string name;
        std::size_t placed = 0;  // by the pass or by hand
        std::size_t unplaced = 0;
        bool operator==(const Camera&) const = default;
    };
    std::vector<Camera> cameras;

    std::size_t unplaced() const { return photos - placed - byHand; }
    bool operator==(const PlacementSummary&) const = default;
};

// Every photograph decided over the whole table; `each`, when given, receives
// them in table order.
PlacementSummary summarisePlacements(const DataTable& table, int32_t toleranceSeconds,
                                     std::vector<PhotoPlacement>* each = nullptr, bool photoZones = false);
PlacementSummary summarisePlacements(const DataTable& table, const BindingParams& params,
                                     std::vector<PhotoPlacement>* each = nullptr);

}  // namespace geovanta

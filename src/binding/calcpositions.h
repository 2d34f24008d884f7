#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "table/photofacts.h"

#include "binding/placenaming.h"
#include "binding/privacyzones.h"

namespace geovanta {

class DataTable;
class ZoneData;

// One camera body's clock, as the person set it.
struct CameraClock {
    CameraKey camera;
    // Days added to its photographs' times in place of the photo offset;
    // none: the photo offset applies.
    std::optional<double> offset;
    // The clock shows the wall-clock time where each photograph was taken.
    bool localTime = false;

    bool operator==(const CameraClock&) const = default;
};

struct BindingParams {
    double trackOffset = 0;   // days, added to Time of every non-photo row
    double photoOffset = 0;   // days, added to Time of photo rows
    int32_t tolerance = 300;  // seconds, exclusive
    // A photograph whose camera recorded its zone is first brought to UTC by
    // it; the others take the photo offset alone. A camera on local time
    // has its recorded zone used either way.
    bool photoZones = false;
    // A photograph whose position would fall inside one of these is not placed.
    PrivacyZones privacyZones{};
    // How the photographs' places are named once they are placed.
    PlaceNaming naming{};
    // The cameras with a clock of their own; a camera not here, and a
    // photograph without a camera, take the photo offset.
    std::vector<CameraClock> cameras{};
    // Every photograph's clock keeps local time, whatever its camera.
    bool allLocalTime = false;
    // Where local times find their zones; none: nowhere, and such
    // photographs stay unplaced.
    std::shared_ptr<const ZoneData> zones{};
};

// The clock the pass gives a photograph of `camera` (nullptr: none), with
// the photo offset where the camera has none of its own.
CameraClock clockOf(const BindingParams& params, const CameraKey* camera);

// Flat-earth distance in metres; the longitude difference is scaled by the
// cosine of the first point's latitude, so the result is not symmetric.
double PlaneDistance(double lat1, double lon1, double lat2, double lon2);

// The time of the photograph at `row` that the photo offset is added to, in
// milliseconds: its own time, brought to UTC by its zone when `photoZones`
// and it has one.
int64_t photoTimeBeforeOffset(const DataTable& table, std::size_t row, bool photoZones);

// Whether the photograph's time is read as the local time where it was
// taken: its clock keeps local time and its file names no zone, which would
// say for certain what a track can only suggest.
bool readAsLocalTime(const DataTable& table, std::size_t row, const CameraClock& clock);

// The binding pass over the whole table: shifted times, shifted-time order,
// leg distances and speeds, and interpolated positions of the photographs
// that lie within the tolerance of a neighbouring non-photo row and outside
// every privacy zone. Every other
// photograph is left without a position, whatever an earlier pass gave it
// (binding/placement.h says why), except one placed by hand, which keeps the
// position it was given. A photograph read as local time is brought to UTC
// by the zone the track puts it in (binding/localtimeresolver.h), kept on its
// row (DataTable::localZone), and left unplaced when no zone is consistent.
// Then names every photograph's place by `naming` (namePlaces). Leaves the
// cursor on the first row.
void CalcPositions(DataTable& table, const BindingParams& params);

}  // namespace geovanta

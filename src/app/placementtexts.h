#pragma once
// How placements are told to a person, in the process's language: the main
// window's status bar and the tooltip of a photo row, and the lines of
// geovanta-cli. All tell the numbers of binding/placement.h.

#include <cstdint>
#include <string>

#include "binding/calcpositions.h"
#include "binding/placement.h"

namespace geovanta {

// A span of time as seconds, with hours, minutes and seconds beside it from a
// minute on: "45 s", "12.5 s", "1812 s (0:30:12)".
std::string durationText(int64_t ms);

// An offset in days as a signed span: "0:00", "+1:00", "-2 d 0:30", "+0:00:08.640".
std::string offsetText(double days);

// "18 points, 5 photos: placed 4 (by hand 1), not placed 1 (before the track 1)":
// counts of 0 are left out, as the window's status bar is narrow.
std::string summaryStatusText(const PlacementSummary& summary);
// "Offsets: track 0:00, photos -1:00; tolerance 300 s", and a note when the
// photographs' own zones are in use.
std::string offsetsStatusText(const BindingParams& params);
// Why a photograph is placed or not, then where its time came from, each on
// a line of its own.
std::string placementToolTip(const Placement& placement, int32_t toleranceSeconds);
// The same on one line, the time's source named only when it is not EXIF.
std::string placementLine(const Placement& placement, int32_t toleranceSeconds);
// The tooltip of a grid row: the photograph's reason, told from the table as
// it stands; empty for other rows. When rows were inserted, edited or deleted
// since the pass, the reason may no longer match the position the row holds,
// and the tooltip says so. A position the photograph's file carried when it
// was scanned comes last. `photoZones` as the pass had it.
std::string photoRowToolTip(const DataTable& table, std::size_t row, int32_t toleranceSeconds,
                            bool photoZones = false);
// The same by every rule the pass had, its privacy zones included.
std::string photoRowToolTip(const DataTable& table, std::size_t row, const BindingParams& params);

// geovanta-cli's summary of a pass, in English with every count.
std::string summaryLine(const PlacementSummary& summary, const BindingParams& params);

}  // namespace geovanta

#pragma once
// How placements are told to a person: in Russian for the main window (its
// status bar and the tooltip of a photo row) and in English for the
// command-line tool. Both tell the same numbers from binding/placement.h.

#include <cstdint>
#include <string>

#include "binding/calcpositions.h"
#include "binding/placement.h"

namespace geovanta {

// A span of time as seconds, with hours, minutes and seconds beside it from a
// minute on: "45", "12.5", "1812 (0:30:12)". `unit` follows the seconds.
std::string durationText(int64_t ms, const std::string& unit);

// An offset in days as a signed span: "0:00", "+1:00", "-2 d 0:30", "+0:00:08.640";
// `daysUnit` names the days.
std::string offsetText(double days, const std::string& daysUnit);

// Main window.
// "18 точек, 5 фото: привязано 4 (вручную 1), не привязано 1 (до трека 1)":
// counts of 0 are left out.
std::string summaryStatusText(const PlacementSummary& summary);
// "Смещение: трек 0:00, фото -1:00; допуск 300 с", and "; часовой пояс из фото"
// when the photographs' own zones are in use.
std::string offsetsStatusText(const BindingParams& params);
std::string placementToolTip(const Placement& placement, int32_t toleranceSeconds);
// The tooltip of a grid row: the photograph's reason, told from the table as
// it stands; empty for other rows. When rows were inserted, edited or deleted
// since the pass, the reason may no longer match the position the row holds,
// and the tooltip says so. `photoZones` as the pass had it.
std::string photoRowToolTip(const DataTable& table, std::size_t row, int32_t toleranceSeconds,
                            bool photoZones = false);

// Command-line tool.
std::string summaryLine(const PlacementSummary& summary, const BindingParams& params);
std::string placementLine(const Placement& placement, int32_t toleranceSeconds);

}  // namespace geovanta

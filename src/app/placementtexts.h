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
std::string summaryStatusText(const PlacementSummary& summary);  // "18 точек, 5 фото: привязано 4, …"
std::string offsetsStatusText(const BindingParams& params);      // "Смещение трека 0:00, фото -1:00, допуск 300 с"
std::string placementToolTip(const Placement& placement, int32_t toleranceSeconds);

// Command-line tool.
std::string summaryLine(const PlacementSummary& summary, const BindingParams& params);
std::string placementLine(const Placement& placement, int32_t toleranceSeconds);

}  // namespace geovanta

#pragma once
// The place names lookup follows the state's switch: loaded when names are
// turned on, let go when they are turned off, so that its data take memory
// only while they are asked for.

#include <optional>
#include <string>

#include "app/programstate.h"

namespace geovanta {

// Loads the lookup from state.placeData (the program's own data sets when
// empty) while state.placeNames is on and none is loaded, and lets it go
// while it is off. When the data cannot be read, names are turned off and
// the reason returned, a text of the catalogue.
std::optional<std::string> followPlaceNames(ProgramState& state);

}  // namespace geovanta

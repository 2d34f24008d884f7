#include "app/placenamesetup.h"

#include "app/programpaths.h"

namespace geovanta {

std::optional<std::string> followPlaceNames(ProgramState& state) {
    if (!state.placeNames) {
        state.placeFinder.reset();
        return std::nullopt;
    }
    if (state.placeFinder) return std::nullopt;
    const std::string folder = state.placeData.empty() ? defaultPlaceDataFolder() : state.placeData;
    std::string error;
    state.placeFinder = PlaceFinder::shared(folder, error);
    if (state.placeFinder) return std::nullopt;
    state.placeNames = false;
    return error;
}

}  // namespace geovanta

#pragma once
// The names of where the photographs were taken, looked up offline at the
// positions the pass (or the person) gave them. Runs after every pass while
// place names are on, and over the whole table when they are turned on or
// off: it is quick (100,000 photographs in a fraction of a second) and keeps
// nothing of its own, so names can never fall out of step with positions.

#include <memory>

#include "geo/placefinder.h"
#include "table/datatable.h"
#include "table/messages.h"

namespace geovanta {

struct PlaceNaming {
    // None while place names are off: the names of lookups are taken away,
    // the person's and the photographs' own stay.
    std::shared_ptr<const PlaceFinder> finder;
    Language language = Language::English;
    double maxKm = kPlaceMaxKm;
    // The names a photograph carried give way to the lookup's.
    bool replacePhotoNames = false;
};

// Every photograph of `table` named as `naming` says (withLookup): at its
// position, or none without one.
void namePlaces(DataTable& table, const PlaceNaming& naming);

}  // namespace geovanta

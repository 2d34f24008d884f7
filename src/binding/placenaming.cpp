#include "binding/placenaming.h"

#include "table/displaysuspension.h"
#include "table/position.h"

namespace geovanta {
namespace {

using Found = std::optional<std::array<std::string, kPlaceParts>>;

Found lookUp(const PlaceNaming& naming, double lat, double lon) {
    if (!naming.finder) return std::nullopt;
    std::optional<Place> place = naming.finder->placeAt(lat, lon, naming.language, naming.maxKm);
    if (!place) return std::nullopt;
    return std::array<std::string, kPlaceParts>{std::move(place->city), std::move(place->region),
                                                std::move(place->country), std::move(place->countryCode)};
}

}  // namespace

void namePlaces(DataTable& table, const PlaceNaming& naming) {
    DisplaySuspension suspended(table);
    static const PlaceNames kNone;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        if (!table.isPhoto(row)) continue;
        const PlaceNames* names = table.placeNames(row);
        // Nothing to take away and nothing to look up.
        if (!names && !naming.finder) continue;
        const Found found =
            hasPosition(table, row) ? lookUp(naming, table.real(row, FieldId::Lat), table.real(row, FieldId::Lon))
                                    : std::nullopt;
        table.setPlaceNames(row, withLookup(names ? *names : kNone, found, naming.replacePhotoNames));
    }
}

}  // namespace geovanta

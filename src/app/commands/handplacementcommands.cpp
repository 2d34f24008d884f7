#include "app/commands/handplacementcommands.h"

#include <cmath>
#include <memory>

#include "app/document.h"
#include "app/passjob.h"
#include "table/datatable.h"

namespace geovanta {

bool HandPlacementCommands::validPosition(double lat, double lon) {
    return std::isfinite(lat) && std::isfinite(lon) && std::fabs(lat) <= 90 && std::fabs(lon) <= 180;
}

std::vector<std::size_t> HandPlacementCommands::photosNamed(const DataTable& table, std::string_view name) {
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        if (!table.isPhoto(row)) continue;
        const std::string_view path = table.text(row, FieldId::FileName);
        const std::size_t slash = path.rfind('/');
        const std::string_view file = slash == std::string_view::npos ? path : path.substr(slash + 1);
        if (name == path || name == file || name == table.text(row, FieldId::Name) ||
            name == table.displayText(row, FieldId::Name))
            rows.push_back(row);
    }
    return rows;
}

template <typename Result>
HandPlacementCommands::Outcome HandPlacementCommands::done(const Result& result) {
    if (result.refusal) return {std::nullopt, result.refusal};
    if (result.passNeeded && result.photo) runPass(*result.photo);
    return {result.row, std::nullopt};
}

HandPlacementCommands::Outcome HandPlacementCommands::place(const std::vector<std::size_t>& rows, double lat,
                                                            double lon) {
    if (!validPosition(lat, lon)) return {};
    return done(document_.placeByHand(rows, lat, lon));
}

HandPlacementCommands::Outcome HandPlacementCommands::release(std::size_t row) {
    return done(document_.releaseHand(row));
}

HandPlacementCommands::Outcome HandPlacementCommands::undo() { return done(document_.undoHand()); }
HandPlacementCommands::Outcome HandPlacementCommands::redo() { return done(document_.redoHand()); }
bool HandPlacementCommands::canUndo() const { return document_.handHistory().canUndo(); }
bool HandPlacementCommands::canRedo() const { return document_.handHistory().canRedo(); }

void HandPlacementCommands::runPass(uint64_t photo) {
    jobs_.submit(std::make_unique<PassJob>([photo](Document& document) {
        // The pass leaves the cursor on the first row; the photograph the
        // person acted on is the one to show.
        if (const auto row = document.table().rowWithCreationNumber(photo)) document.moveTo(*row);
    }));
}

}  // namespace geovanta

#include "app/commands/handplacementcommands.h"

#include <cmath>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "app/document.h"
#include "app/passjob.h"
#include "binding/nearestelevation.h"
#include "table/datatable.h"

namespace geovanta {
namespace {

// The photographs' rows by their creation numbers, found in one walk; a
// photograph no longer in the table is left out.
std::unordered_map<uint64_t, std::size_t> photoRows(const DataTable& table, const std::vector<uint64_t>& photos) {
    std::unordered_map<uint64_t, std::size_t> wanted;
    for (uint64_t n : photos) wanted.emplace(n, table.rowCount());
    std::unordered_map<uint64_t, std::size_t> rows;
    for (std::size_t row = 0; row < table.rowCount() && rows.size() < wanted.size(); ++row)
        if (table.isPhoto(row) && wanted.count(table.creationNumber(row))) rows.emplace(table.creationNumber(row), row);
    return rows;
}

std::vector<uint64_t> photosOf(const HandStep& step) {
    std::vector<uint64_t> photos;
    for (const HandChange& c : step) photos.push_back(c.photo);
    return photos;
}

}  // namespace

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

std::optional<std::size_t> HandPlacementCommands::place(const std::vector<std::size_t>& rows, double lat, double lon) {
    if (!validPosition(lat, lon)) return std::nullopt;
    DataTable& table = document_.table();
    // Named by creation number first: storing an edit in progress may drop
    // an untouched new row and move the rows after it.
    std::vector<uint64_t> photos;
    std::unordered_set<uint64_t> named;
    for (std::size_t row : rows)
        if (row < table.rowCount() && table.isPhoto(row) && named.insert(table.creationNumber(row)).second)
            photos.push_back(table.creationNumber(row));
    table.storePending();
    const auto where = photoRows(table, photos);
    const HandPosition after{true, lat, lon, nearestElevation(table, lat, lon)};
    HandStep step;
    std::optional<std::size_t> first;
    for (uint64_t photo : photos) {
        const auto found = where.find(photo);
        if (found == where.end()) continue;
        const std::size_t row = found->second;
        step.push_back({photo, HandPosition::of(table, row), after});
        after.applyTo(table, row);
        if (!first) first = row;
    }
    document_.handHistory().record(std::move(step));
    return first;
}

bool HandPlacementCommands::release(std::size_t row) {
    DataTable& table = document_.table();
    if (row >= table.rowCount() || !table.isPhoto(row) || !table.placedByHand(row)) return false;
    const uint64_t photo = table.creationNumber(row);
    table.storePending();
    const auto found = table.rowWithCreationNumber(photo);
    if (!found) return false;
    const HandPosition before = HandPosition::of(table, *found);
    HandPosition after = before;
    after.byHand = false;
    after.applyTo(table, *found);
    document_.handHistory().record({{photo, before, after}});
    runPass(photo);
    return true;
}

std::optional<std::size_t> HandPlacementCommands::undo() {
    const std::optional<HandStep> step = document_.handHistory().takeUndo();
    return step ? apply(*step, false) : std::nullopt;
}

std::optional<std::size_t> HandPlacementCommands::redo() {
    const std::optional<HandStep> step = document_.handHistory().takeRedo();
    return step ? apply(*step, true) : std::nullopt;
}

bool HandPlacementCommands::canUndo() const { return document_.handHistory().canUndo(); }
bool HandPlacementCommands::canRedo() const { return document_.handHistory().canRedo(); }

std::optional<std::size_t> HandPlacementCommands::apply(const HandStep& step, bool forward) {
    DataTable& table = document_.table();
    table.storePending();
    const auto where = photoRows(table, photosOf(step));
    std::optional<std::size_t> first;
    std::optional<uint64_t> firstPhoto;
    bool toThePass = false;
    for (const HandChange& c : step) {
        const auto found = where.find(c.photo);
        if (found == where.end()) continue;  // deleted from the grid since
        const HandPosition& to = forward ? c.after : c.before;
        to.applyTo(table, found->second);
        toThePass = toThePass || !to.byHand;
        if (!first) {
            first = found->second;
            firstPhoto = c.photo;
        }
    }
    // The position the photograph had before it was placed belongs to the
    // offsets of that time: the pass gives it the one of today's.
    if (toThePass) runPass(*firstPhoto);
    return first;
}

void HandPlacementCommands::runPass(uint64_t photo) {
    jobs_.submit(std::make_unique<PassJob>([photo](Document& document) {
        // The pass leaves the cursor on the first row; the photograph the
        // person acted on is the one to show.
        if (const auto row = document.table().rowWithCreationNumber(photo)) document.table().moveTo(*row);
    }));
}

}  // namespace geovanta

#include "app/handplacement.h"

#include <unordered_map>
#include <unordered_set>

#include "binding/nearestelevation.h"
#include "table/datatable.h"

namespace geovanta {
namespace {

// The photographs' rows by their creation numbers, found in one walk; a
// photograph no longer in the table is left out.
std::unordered_map<uint64_t, std::size_t> photoRows(const DataTable& table, const std::vector<uint64_t>& photos) {
    std::unordered_set<uint64_t> wanted(photos.begin(), photos.end());
    std::unordered_map<uint64_t, std::size_t> rows;
    for (std::size_t row = 0; row < table.rowCount() && rows.size() < wanted.size(); ++row)
        if (table.isPhoto(row) && wanted.count(table.creationNumber(row))) rows.emplace(table.creationNumber(row), row);
    return rows;
}

}  // namespace

HandPlacement::Step HandPlacement::place(const std::vector<std::size_t>& rows, double lat, double lon) {
    // Named by creation number first: storing an edit in progress may drop
    // an untouched new row and move the rows after it.
    std::vector<uint64_t> photos;
    std::unordered_set<uint64_t> named;
    for (std::size_t row : rows)
        if (row < table_.rowCount() && table_.isPhoto(row) && named.insert(table_.creationNumber(row)).second)
            photos.push_back(table_.creationNumber(row));
    table_.storePending();
    const auto where = photoRows(table_, photos);
    const HandPosition after{true, lat, lon, nearestElevation(table_, lat, lon)};
    HandStep step;
    Step done;
    for (uint64_t photo : photos) {
        const auto found = where.find(photo);
        if (found == where.end()) continue;
        step.push_back({photo, HandPosition::of(table_, found->second), after});
        after.applyTo(table_, found->second);
        if (!done.row) {
            done.row = found->second;
            done.photo = photo;
        }
    }
    history_.record(std::move(step));
    return done;
}

HandPlacement::Step HandPlacement::release(std::size_t row) {
    if (row >= table_.rowCount() || !table_.isPhoto(row) || !table_.placedByHand(row)) return {};
    const uint64_t photo = table_.creationNumber(row);
    table_.storePending();
    const auto found = table_.rowWithCreationNumber(photo);
    if (!found) return {};
    const HandPosition before = HandPosition::of(table_, *found);
    HandPosition after = before;
    after.byHand = false;
    after.applyTo(table_, *found);
    history_.record({{photo, before, after}});
    return {*found, photo, true};
}

HandPlacement::Step HandPlacement::undo() {
    const std::optional<HandStep> step = history_.takeUndo();
    return step ? apply(*step, false) : Step{};
}

HandPlacement::Step HandPlacement::redo() {
    const std::optional<HandStep> step = history_.takeRedo();
    return step ? apply(*step, true) : Step{};
}

HandPlacement::Step HandPlacement::apply(const HandStep& step, bool forward) {
    table_.storePending();
    std::vector<uint64_t> photos;
    for (const HandChange& c : step) photos.push_back(c.photo);
    const auto where = photoRows(table_, photos);
    Step done;
    for (const HandChange& c : step) {
        const auto found = where.find(c.photo);
        if (found == where.end()) continue;  // deleted from the grid since
        const HandPosition& to = forward ? c.after : c.before;
        to.applyTo(table_, found->second);
        // The position the photograph had before it was placed belongs to
        // the offsets of that time: the pass gives it the one of today's.
        done.passNeeded = done.passNeeded || !to.byHand;
        if (!done.row) {
            done.row = found->second;
            done.photo = c.photo;
        }
    }
    return done;
}

}  // namespace geovanta

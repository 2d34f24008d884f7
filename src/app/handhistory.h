#pragma once
// The photographs placed by hand, step by step, so that a placement or a
// move can be taken back and done again. Each change names its photograph
// by the row's creation number, which stays with the row through every pass
// and reload while its index does not.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace geovanta {

class DataTable;

// What placing by hand changes in a photograph's row.
struct HandPosition {
    bool byHand = false;
    std::optional<double> lat, lon, elev;  // nothing: the field is empty

    static HandPosition of(const DataTable& table, std::size_t row);
    // Puts it into the row.
    void applyTo(DataTable& table, std::size_t row) const;
    bool operator==(const HandPosition&) const = default;
};

struct HandChange {
    uint64_t photo = 0;  // creation number of its row
    HandPosition before, after;
};

// One drop, move or release: undone and redone whole.
using HandStep = std::vector<HandChange>;

class HandHistory {
public:
    // A new step; what was undone before it can no longer be redone.
    void record(HandStep step);
    // The step to undo, which moves over to the redo side; nothing when empty.
    std::optional<HandStep> takeUndo();
    std::optional<HandStep> takeRedo();
    bool canUndo() const { return !done_.empty(); }
    bool canRedo() const { return !undone_.empty(); }
    void clear();

private:
    std::vector<HandStep> done_, undone_;
};

}  // namespace geovanta

#pragma once
// The changes placing by hand makes to the table, as the document makes
// them: photographs set at a position and marked as placed by hand, given
// back to the pass, and the steps taken back and done again. Each step is
// recorded in the HandHistory, its photographs named by creation number,
// which stays with a row through every pass and reload while its index does
// not.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "app/handhistory.h"

namespace geovanta {

class DataTable;

class HandPlacement {
public:
    struct Step {
        std::optional<std::size_t> row;  // the step's first photograph still in the table
        std::optional<uint64_t> photo;   // its creation number
        bool passNeeded = false;         // a photograph went back to the pass
    };

    HandPlacement(DataTable& table, HandHistory& history) : table_(table), history_(history) {}

    // The photographs among `rows` at (lat, lon), with the elevation of the
    // track nearby when there is one, as one step; other rows are passed over.
    Step place(const std::vector<std::size_t>& rows, double lat, double lon);
    // The photograph at `row`, placed by hand, goes back to the pass.
    Step release(std::size_t row);
    // Takes back, or does again, the latest step.
    Step undo();
    Step redo();

private:
    Step apply(const HandStep& step, bool forward);

    DataTable& table_;
    HandHistory& history_;
};

}  // namespace geovanta

#pragma once
// Placing photographs by hand: a photograph dropped on the map, or named
// with a position on geovanta-cli's command line, takes that position and
// keeps it through every later pass until it is given back to the pass.
// Every placement, move and release is one step of the document's
// HandHistory, which undo and redo walk.

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "app/handhistory.h"

namespace geovanta {

class DataTable;
class Document;
class JobRunner;

class HandPlacementCommands {
public:
    HandPlacementCommands(Document& document, JobRunner& jobs) : document_(document), jobs_(jobs) {}

    // A latitude and longitude on the globe.
    static bool validPosition(double lat, double lon);
    // The photographs `name` may mean: the name the grid shows, the file's
    // name or its full path.
    static std::vector<std::size_t> photosNamed(const DataTable& table, std::string_view name);

    // Places the photographs among `rows` at (lat, lon), with the elevation
    // of the track nearby when there is one, as one step; other rows, and a
    // position off the globe, are passed over. Returns the row of the first
    // photograph placed.
    std::optional<std::size_t> place(const std::vector<std::size_t>& rows, double lat, double lon);

    // "Вернуть автоматическую привязку": the photograph at `row`, placed by
    // hand, goes back to the pass, which runs. False for any other row.
    bool release(std::size_t row);

    // Takes back or does again the latest step. A photograph that goes back
    // to the pass makes the pass run. Returns the row of the step's first
    // photograph still in the table; the pass, when it runs, leaves the
    // table's cursor on it.
    std::optional<std::size_t> undo();
    std::optional<std::size_t> redo();
    bool canUndo() const;
    bool canRedo() const;

private:
    std::optional<std::size_t> apply(const HandStep& step, bool forward);
    void runPass(uint64_t photo);

    Document& document_;
    JobRunner& jobs_;
};

}  // namespace geovanta

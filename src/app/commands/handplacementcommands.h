#pragma once
// Placing photographs by hand: a photograph dropped on the map, or named
// with a position on geovanta-cli's command line, takes that position and
// keeps it through every later pass until it is given back to the pass.
// Every placement, move and release is one step of the document's
// HandHistory, which undo and redo walk. The document makes each change, or
// says why it cannot now; a photograph given back to the pass makes the
// pass run.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

    // What a command did: the row of the step's first photograph still in
    // the table, or why nothing was done.
    struct Outcome {
        std::optional<std::size_t> row;
        std::optional<std::string> refusal;
    };

    // Places the photographs among `rows` at (lat, lon), with the elevation
    // of the track nearby when there is one, as one step; other rows, and a
    // position off the globe, are passed over.
    Outcome place(const std::vector<std::size_t>& rows, double lat, double lon);
    // "Вернуть автоматическую привязку": the photograph at `row`, placed by
    // hand, goes back to the pass, which runs.
    Outcome release(std::size_t row);
    // Takes back or does again the latest step. A photograph that goes back
    // to the pass makes the pass run, which leaves the table's cursor on the
    // step's first photograph.
    Outcome undo();
    Outcome redo();
    bool canUndo() const;
    bool canRedo() const;

private:
    template <typename Result>
    Outcome done(const Result& result);
    void runPass(uint64_t photo);

    Document& document_;
    JobRunner& jobs_;
};

}  // namespace geovanta

#pragma once
// Runs a command on a document that borrows a test's table and state, with
// jobs run at once, and gives the table and state back with the results, so
// that tests keep their plain fixtures.

#include <utility>

#include "app/document.h"
#include "app/inlinejobrunner.h"

namespace geovanta::test {

template <typename F>
void withDocument(DataTable& table, ProgramState& state, const SettingsFile& settings, F&& f) {
    Document document(state, settings);
    document.lease("test")->replaceRows(table);
    InlineJobRunner jobs(document);
    std::forward<F>(f)(document, jobs);
    state = document.state();
    table.takeRows(document.lease("test")->rows());
}

}  // namespace geovanta::test

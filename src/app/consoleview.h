#pragma once
// What the tag writer needs of the console window: two panes, a progress bar
// and the abort button. The window provides the real one; the command-line
// tool reports on standard error; tests script one. A batch writes on a
// thread of its own: every call may come from any thread, and the console
// shows them in the order they came.

#include <functional>
#include <string>
#include <vector>

namespace geovanta {

class ConsoleView {
public:
    virtual ~ConsoleView() = default;

    // Shows the console in front for a batch, its panes empty.
    virtual void showConsole() = 0;
    // What aborting does while a batch runs (the abort button, closing the
    // console); empty once the batch is over. Called on the user's side, it
    // must return at once.
    virtual void setAbortHandler(std::function<void()> handler) = 0;

    virtual void setProgressMaximum(int maximum) = 0;
    virtual void setProgressPosition(int position) = 0;
    virtual void stepProgress() = 0;

    // Information pane: adds the lines as one entry (an empty list adds an
    // empty entry), or replaces the pane's whole text with them.
    virtual void appendInfo(const std::vector<std::string>& lines) = 0;
    virtual void replaceInfo(const std::vector<std::string>& lines) = 0;
    // Errors pane: always replaced.
    virtual void replaceErrors(const std::vector<std::string>& lines) = 0;
    // The choices a batch is made with, first in the information pane.
    virtual void showChoices(const std::vector<std::string>& lines) { appendInfo(lines); }
    // A remark of the program's own during a batch (it waits for another
    // write, it removed a leftover file), shown at once.
    virtual void notice(const std::string& line) { appendInfo({line}); }
};

}  // namespace geovanta

#pragma once
// What the tag writer needs of the console window: two panes, a progress bar,
// and the abort signal. The window provides the real one; the command-line
// tool reports on standard error; tests script one.

#include <string>
#include <vector>

namespace geovanta {

class ConsoleView {
public:
    virtual ~ConsoleView() = default;

    // Shows the console in front and disables the main window for a batch.
    virtual void showConsole() = 0;
    // Hides the console and enables the main window again.
    virtual void closeConsole() = 0;

    virtual void setProgressMaximum(int maximum) = 0;
    virtual void setProgressPosition(int position) = 0;
    virtual void stepProgress() = 0;

    // Information pane: adds the lines as one entry (an empty list adds an
    // empty entry), or replaces the pane's whole text with them.
    virtual void appendInfo(const std::vector<std::string>& lines) = 0;
    virtual void replaceInfo(const std::vector<std::string>& lines) = 0;
    // Errors pane: always replaced.
    virtual void replaceErrors(const std::vector<std::string>& lines) = 0;
    // A remark of the program's own during a batch (it waits for another
    // write, it removed a leftover file), shown at once.
    virtual void notice(const std::string& line) { appendInfo({line}); }

    // Lets queued user input (repaints, a click on the abort button) happen.
    virtual void processPendingEvents() = 0;
    // Waits until user input comes or wake() is called, and handles what
    // came; with `userInput` false, clicks and keys wait for later while the
    // window still repaints. A batch waits here for its writers.
    virtual void waitForEvents(bool userInput) = 0;
    // Ends a waitForEvents() now or, if none is waiting, the next one at
    // once. Called from the writers' threads.
    virtual void wake() = 0;
    // True once the user closed the console during a batch: the main window
    // is enabled again.
    virtual bool abortRequested() const = 0;
};

}  // namespace geovanta

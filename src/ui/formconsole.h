#pragma once
// The console window of the tag writer: ExifTool's output and errors, a
// progress bar and the abort button. Its first lines show the choices the
// batch is made with, which the main window's "Запись" menu sets beforehand.
// Made once at start-up and hidden, never destroyed, when closed. A batch runs on a thread of its own and reports
// from there; the console carries every call over to its own thread. After a
// batch it stays open with the summary until the user closes it.

#include <QWidget>
#include <functional>
#include <string>

#include "app/consoleview.h"

class QCloseEvent;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace geovanta {

class TFormConsole : public QWidget, public ConsoleView {
    Q_OBJECT

public:
    TFormConsole();

    void showConsole() override;
    void setAbortHandler(std::function<void()> handler) override;
    void setProgressMaximum(int maximum) override;
    void setProgressPosition(int position) override;
    void stepProgress() override;
    void appendInfo(const std::vector<std::string>& lines) override;
    void replaceInfo(const std::vector<std::string>& lines) override;
    void replaceErrors(const std::vector<std::string>& lines) override;

    QFrame* panel = nullptr;
    QLabel* infoLabel = nullptr;
    QPlainTextEdit* infoPane = nullptr;
    QLabel* errorLabel = nullptr;
    QPlainTextEdit* errorPane = nullptr;
    QPushButton* abortButton = nullptr;
    QProgressBar* progressBar = nullptr;

signals:
    // Ctrl+Q here quits the program as it does in the main window.
    void quitRequested();

protected:
    // Closing the console while a batch runs aborts it, as the button does,
    // and leaves it open for the summary.
    void closeEvent(QCloseEvent* event) override;

private:
    // Runs `work` on the console's thread: now when called there, else queued.
    void onOwnThread(std::function<void()> work);
    void abortBatch();

    std::function<void()> abort_;  // while a batch runs
    // The information pane keeps its last line in view until the person
    // scrolls away from it, and again once they scroll back to the end.
    bool followInfo_ = true;
};

}  // namespace geovanta

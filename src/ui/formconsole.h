#pragma once
// The console window of the tag writer: ExifTool's output and errors, a
// progress bar and the abort button. Made once at start-up and hidden, never
// destroyed, when closed. Closing it in any way enables the main window
// again, which is what a running batch takes as its abort signal.

#include <QPointer>
#include <QWidget>

#include "output/consoleview.h"

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
    // `mainWindow` is disabled while a batch runs and enabled on closing.
    explicit TFormConsole(QWidget* mainWindow = nullptr);

    void setMainWindow(QWidget* mainWindow) { mainWindow_ = mainWindow; }

    void showConsole() override;
    void closeConsole() override;
    void setProgressMaximum(int maximum) override;
    void setProgressPosition(int position) override;
    void stepProgress() override;
    void appendInfo(const std::vector<std::string>& lines) override;
    void replaceInfo(const std::vector<std::string>& lines) override;
    void replaceErrors(const std::vector<std::string>& lines) override;
    void processPendingEvents() override;
    bool abortRequested() const override;

    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QLabel* Label2 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    QPushButton* Button1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void Button1Click();

private:
    void FormClose();

    QPointer<QWidget> mainWindow_;
};

}  // namespace geovanta

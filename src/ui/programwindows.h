#pragma once
// The program's windows made in their fixed order and wired to each other:
// the main window, the photo folder dialog, the time offsets dialog and the
// console. The entry makes one; tests make one with scripted dialogs.

#include <memory>
#include <string>
#include <vector>

#include "app/document.h"
#include "app/settings.h"
#include "app/programtools.h"
#include "ui/qtdialogs.h"

namespace geovanta {

class Dialogs;
class TFormConsole;
class TFotoDlg;
class TMainForm;
class TSetDeltaDlg;

class ProgramWindows {
public:
    // Reads the settings file; the window's tools come from `makeTools` once
    // the table exists; `dialogs` replaces the real boxes and dialogs when
    // given.
    ProgramWindows(SettingsFile settings, const std::string& startFolder, const ProgramToolsMaker& makeTools,
                   Dialogs* dialogs = nullptr);
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    TMainForm& mainForm() { return *mainForm_; }
    Document& document() { return document_; }
    ProgramState& state() { return document_.state(); }

private:
    // What reading the settings file found wrong, said once the window is up.
    std::vector<std::string> settingsMessages_;
    Document document_;
    QtDialogs qtDialogs_;
    std::shared_ptr<ProgramTools> tools_;
    std::unique_ptr<TMainForm> mainForm_;
    // Go before the main window they belong to.
    std::unique_ptr<TFotoDlg> fotoDlg_;
    std::unique_ptr<TSetDeltaDlg> setDeltaDlg_;
    std::unique_ptr<TFormConsole> formConsole_;
};

}  // namespace geovanta

#include "ui/programwindows.h"

#include "ui/formconsole.h"
#include "ui/fotodlg.h"
#include "ui/tmainform.h"
#include "ui/tsetdeltadlg.h"

namespace geovanta {

ProgramWindows::ProgramWindows(SettingsFile settings, const std::string& startFolder, Dialogs* dialogs)
    : document_(settings.read(startFolder), settings) {
    Dialogs& used = dialogs ? *dialogs : qtDialogs_;
    mainForm_ = std::make_unique<TMainForm>(document_, used);
    qtDialogs_.setParentWindow(mainForm_.get());

    fotoDlg_ = std::make_unique<TFotoDlg>(mainForm_.get());
    qtDialogs_.setPhotoFolderDialog([dlg = fotoDlg_.get()](const std::string& folder) -> std::optional<std::string> {
        const auto typed = dlg->ask(QString::fromStdString(folder));
        if (!typed) return std::nullopt;
        return typed->toStdString();
    });
    setDeltaDlg_ = std::make_unique<TSetDeltaDlg>(mainForm_.get());
    qtDialogs_.setOffsetsDialog(setDeltaDlg_.get());
    // The About box is made afresh for each showing.
    formConsole_ = std::make_unique<TFormConsole>();
    mainForm_->setConsole(formConsole_.get());
}

ProgramWindows::~ProgramWindows() {
    // A tag write still running reports to the console, which goes first.
    mainForm_->stopTagWrite();
}

}  // namespace geovanta

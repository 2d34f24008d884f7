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
    qtDialogs_.setPhotoFolderDialog([dlg = fotoDlg_.get()](const PhotoFolderChoice& shown) -> std::optional<PhotoFolderChoice> {
        const auto typed = dlg->ask(QString::fromStdString(shown.folder), shown.withSubfolders);
        if (!typed) return std::nullopt;
        return PhotoFolderChoice{typed->toStdString(), dlg->subfoldersChecked()};
    });
    setDeltaDlg_ = std::make_unique<TSetDeltaDlg>(mainForm_.get());
    qtDialogs_.setOffsetsDialog(setDeltaDlg_.get());
    // The About box is made afresh for each showing.
    formConsole_ = std::make_unique<TFormConsole>(mainForm_.get());
    mainForm_->setConsole(formConsole_.get());
}

ProgramWindows::~ProgramWindows() = default;

}  // namespace geovanta

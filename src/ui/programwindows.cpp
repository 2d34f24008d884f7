#include "ui/programwindows.h"

#include <QTimer>

#include "ui/formconsole.h"
#include "ui/fotodlg.h"
#include "ui/tmainform.h"
#include "ui/tsetdeltadlg.h"

namespace geovanta {

ProgramWindows::ProgramWindows(SettingsFile settings, const std::string& startFolder, Dialogs* dialogs) {
    std::vector<std::string> settingsMessages;
    state_ = settings.readAtStart(startFolder, settingsMessages);
    Dialogs& used = dialogs ? *dialogs : qtDialogs_;
    mainForm_ = std::make_unique<TMainForm>(state_, std::move(settings), used);
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
    formConsole_ = std::make_unique<TFormConsole>(mainForm_.get());
    mainForm_->setConsole(formConsole_.get());
    // Once the window is up, so that the boxes have it for their parent.
    if (!settingsMessages.empty())
        QTimer::singleShot(0, mainForm_.get(), [shown = &used, settingsMessages] {
            for (const std::string& message : settingsMessages)
                shown->showMessage(MessageKind::Failure, failureText(message));
        });
}

ProgramWindows::~ProgramWindows() = default;

}  // namespace geovanta

#include "ui/programwindows.h"

#include <QTimer>

#include "app/cameraclocks.h"
#include "ui/formconsole.h"
#include "ui/fotodlg.h"
#include "ui/tmainform.h"
#include "ui/tsetdeltadlg.h"

namespace geovanta {
namespace {

// The settings are read before the file moves into the document, which then
// knows whether it may write the file.
Document readDocument(SettingsFile settings, const std::string& startFolder, std::vector<std::string>& messages) {
    ProgramState state = settings.readAtStart(startFolder, messages);
    state.zones = programZoneData();
    return Document(std::move(state), std::move(settings));
}

}  // namespace

ProgramWindows::ProgramWindows(SettingsFile settings, const std::string& startFolder,
                               const ProgramToolsMaker& makeTools, Dialogs* dialogs)
    : document_(readDocument(std::move(settings), startFolder, settingsMessages_)) {
    Dialogs& used = dialogs ? *dialogs : qtDialogs_;
    tools_ = makeTools(document_.table());
    mainForm_ = std::make_unique<TMainForm>(document_, used, tools_);
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
    formConsole_ = std::make_unique<TFormConsole>();
    mainForm_->setConsole(formConsole_.get());
    // Once the window is up, so that the boxes have it for their parent.
    if (!settingsMessages_.empty())
        QTimer::singleShot(0, mainForm_.get(), [shown = &used, messages = settingsMessages_] {
            for (const std::string& message : messages)
                shown->showMessage(MessageKind::Failure, failureText(message));
        });
}

ProgramWindows::~ProgramWindows() {
    // A tag write still running reports to the console, which goes first.
    mainForm_->stopTagWrite();
}

}  // namespace geovanta

#include <QApplication>
#include <QLocale>
#include <clocale>

#include "app/programpaths.h"
#include "app/programstate.h"
#include "app/settings.h"
#include "ui/qtdialogs.h"
#include "ui/tmainform.h"
#include "ui/tsetdeltadlg.h"
#include "ui/fotodlg.h"
#include "ui/formconsole.h"

using namespace geovanta;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Geovanta");
    // Numbers and dates read and written the same way whatever the system locale.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());

    const ProgramPaths& paths = ProgramPaths::current();
    const SettingsFile settings(paths.settingsFile, !paths.portable);
    ProgramState state = settings.read(paths.startFolder);

    QtDialogs dialogs;
    TMainForm mainForm(state, settings, dialogs);
    dialogs.setParentWindow(&mainForm);

    TFotoDlg fotoDlg(&mainForm);
    dialogs.setPhotoFolderDialog([&fotoDlg](const std::string& folder) -> std::optional<std::string> {
        const auto typed = fotoDlg.ask(QString::fromStdString(folder));
        if (!typed) return std::nullopt;
        return typed->toStdString();
    });

    TSetDeltaDlg setDeltaDlg(&mainForm);
    dialogs.setOffsetsDialog(&setDeltaDlg);

    // The About box is made afresh for each showing.
    TFormConsole formConsole(&mainForm);
    mainForm.setConsole(&formConsole);

    mainForm.show();
    return QApplication::exec();
}

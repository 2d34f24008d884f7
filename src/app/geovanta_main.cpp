#include <QApplication>
#include <QLocale>
#include <clocale>

#include "app/programstate.h"
#include "app/settings.h"
#include "app/ui/qtdialogs.h"
#include "app/ui/tmainform.h"
#include "binding/ui/tsetdeltadlg.h"

using namespace geovanta;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Geovanta");
    // Numbers and dates read and written the same way whatever the system locale.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());

    const std::string folder = executableFolder();
    const SettingsFile settings = SettingsFile::inFolder(folder);
    ProgramState state = settings.read(folder);

    QtDialogs dialogs;
    TMainForm mainForm(state, settings, dialogs);
    dialogs.setParentWindow(&mainForm);

    TSetDeltaDlg setDeltaDlg(&mainForm);
    dialogs.setOffsetsDialog(&setDeltaDlg);

    mainForm.show();
    return QApplication::exec();
}

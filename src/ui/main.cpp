#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QTimer>
#include <clocale>
#include <string>
#include <vector>

#include "app/language.h"
#include "app/programpaths.h"
#include "app/programtools.h"
#include "app/settings.h"
#include "app/signalwatch.h"
#include "runtime/keptprocess.h"
#include "runtime/ozilibrary.h"
#include "ui/programwindows.h"
#include "ui/qttranslations.h"
#include "ui/tmainform.h"
#include "ui/toolicons.h"

using namespace geovanta;

int main(int argc, char** argv) {
    // Before any thread starts: they all inherit the blocked signals.
    SignalWatch stopSignals;
    QApplication app(argc, argv);
    QApplication::setApplicationName("Geovanta");
    QApplication::setApplicationVersion(GEOVANTA_VERSION);
    QGuiApplication::setDesktopFileName(GEOVANTA_APP_ID);
    QApplication::setWindowIcon(programIcon());
    // Numbers and dates read and written the same way whatever the system locale.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());

    const ProgramPaths& paths = ProgramPaths::current();
    SettingsFile settings(paths.settingsFile, !paths.portable);
    // Before the first window: its texts are made in the language as they are built.
    installTranslations(app, chooseLanguage(settings.read(paths.startFolder).language));
    // The entry point puts the layers together: ExifTool is started as a
    // kept process of the runtime, OziExplorer's library opened beside us.
    ProgramWindows windows(std::move(settings), paths.startFolder, [](const DataTable& table) {
        return std::make_shared<ProgramTools>(table, KeptProcess::maker(),
                                              std::make_unique<OziLibrary>(defaultOziLibraryPath()));
    });
    TMainForm& mainForm = windows.mainForm();
    mainForm.show();

    // File names exactly as the system gave them, bytes included.
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) files.emplace_back(argv[i]);
    // After the window is up, so that messages about a bad file have a parent.
    if (!files.empty()) QTimer::singleShot(0, &mainForm, [&mainForm, files] { mainForm.loadArguments(files); });
    // A stop signal ends the program as closing the window does: a tag
    // write under way gives its photographs in flight their grace first.
    stopSignals.setHandler([&mainForm](int) {
        QMetaObject::invokeMethod(&mainForm, [&mainForm] { mainForm.quit(); }, Qt::QueuedConnection);
    });
    const int status = QApplication::exec();
    stopSignals.setHandler({});
    if (const int signal = stopSignals.received()) return 128 + signal;
    return status;
}

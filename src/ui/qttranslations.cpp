#include "ui/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace geovanta {

void installQtTranslations(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // English is Qt's own language: it has no translation file, and the
    // window around the dialogs is Russian, so it falls to Russian too.
    const QLocale system = QLocale::system();
    const bool loaded = (system.language() != QLocale::English &&
                         translator->load(system, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) ||
                        translator->load(QStringLiteral("qtbase_ru"), folder);
    if (loaded) app.installTranslator(translator);
}

}  // namespace geovanta

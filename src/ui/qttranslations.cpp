#include "ui/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace geovanta {
namespace {

// The translators installed last, taken back by the next call.
QPointer<QTranslator> gOwn;
QPointer<QTranslator> gQt;

QTranslator* loaded(QCoreApplication& app, const QString& name, const QString& folder) {
    auto* translator = new QTranslator(&app);
    if (translator->load(name, folder) && QCoreApplication::installTranslator(translator)) return translator;
    delete translator;
    return nullptr;
}

}  // namespace

void installTranslations(QCoreApplication& app, Language language) {
    for (QPointer<QTranslator>* t : {&gOwn, &gQt}) {
        if (!*t) continue;
        QCoreApplication::removeTranslator(*t);
        delete t->data();
    }
    setLanguage(language);
    if (language == Language::English) {
        // The windows' texts are written in Russian; English is Qt's own.
        gOwn = loaded(app, QStringLiteral("geovanta_en"), QStringLiteral(":/i18n"));
    } else {
        gQt = loaded(app, QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
}

}  // namespace geovanta

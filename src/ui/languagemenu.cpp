#include "ui/languagemenu.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <string>

#include "app/commands/languagecommand.h"
#include "app/document.h"
#include "app/language.h"

namespace geovanta {
namespace {

QString translated(const char* text) { return QCoreApplication::translate("geovanta::LanguageMenu", text); }

}  // namespace

QMenu* addLanguageMenu(QMenuBar* bar, Dialogs& dialogs, Document& document) {
    QMenu* menu = bar->addMenu(translated(QT_TRANSLATE_NOOP("geovanta::LanguageMenu", "&Язык")));
    menu->setObjectName("LanguageMenu");
    auto* group = new QActionGroup(menu);
    const std::string& saved = document.state().language;
    // A value the program does not know reads as the system's language.
    const bool known = saved == kRussianCode || saved == kEnglishCode;
    const struct {
        const char* name;
        const char* text;
        std::string code;
    } choices[] = {{"LanguageSystem", QT_TRANSLATE_NOOP("geovanta::LanguageMenu", "&Как в системе"), ""},
                   {"LanguageRussian", QT_TRANSLATE_NOOP("geovanta::LanguageMenu", "&Русский"), kRussianCode},
                   {"LanguageEnglish", QT_TRANSLATE_NOOP("geovanta::LanguageMenu", "&English"), kEnglishCode}};
    for (const auto& choice : choices) {
        QAction* a = menu->addAction(translated(choice.text));
        a->setObjectName(choice.name);
        a->setCheckable(true);
        a->setChecked(known ? saved == choice.code : choice.code.empty());
        group->addAction(a);
        QObject::connect(a, &QAction::triggered, menu, [&dialogs, &document, code = choice.code] {
            LanguageCommand(dialogs, document).choose(code);
        });
    }
    return menu;
}

}  // namespace geovanta

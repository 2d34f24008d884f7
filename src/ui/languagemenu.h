#pragma once

class QMenu;
class QMenuBar;

namespace geovanta {

class Dialogs;
class Document;

// "Язык": the language of the next start, the system's, Russian or English,
// with the settings file's choice ticked.
QMenu* addLanguageMenu(QMenuBar* bar, Dialogs& dialogs, Document& document);

}  // namespace geovanta

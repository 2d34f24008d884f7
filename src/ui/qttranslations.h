#pragma once

#include "table/messages.h"

class QCoreApplication;

namespace geovanta {

// Puts the program in `language`: the texts made below the windows, the
// windows' own texts (written in Russian, translated into English) and Qt's
// dialogs and buttons, which are English unless Russian is asked for. A
// second call takes back what the first installed.
void installTranslations(QCoreApplication& app, Language language);

}  // namespace geovanta

#pragma once

class QCoreApplication;

namespace geovanta {

// Qt's own dialogs and buttons speak the system's language where Qt has it,
// and otherwise Russian, as the rest of the window does.
void installQtTranslations(QCoreApplication& app);

}  // namespace geovanta

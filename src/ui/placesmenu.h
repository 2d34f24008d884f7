#pragma once
// The "Места" menu: place names on or off, the photographs' own names given
// way to the lookup's, the direction of travel written with the tags, and
// the list of privacy zones. The checks start as the settings file has them.

class QMenu;
class QMenuBar;

namespace geovanta {

class TMainForm;
class Document;

QMenu* addPlacesMenu(QMenuBar* bar, TMainForm* window, Document& document);

}  // namespace geovanta

#pragma once
// The privacy zones: "Зона приватности здесь…" asks a new zone's name and
// radius at a place on the map; "Зоны приватности" lists the zones kept and
// removes the ones chosen. Both only show and ask; the place commands keep
// the zones, save them and re-run the pass.

#include <QDialog>
#include <optional>

#include "app/commands/placecommands.h"

class QListWidget;
class QPushButton;

namespace geovanta {

// A zone's name and radius around (lat, lon); nothing when cancelled.
std::optional<PrivacyZone> askPrivacyZone(QWidget* parent, double lat, double lon);

class PrivacyZonesDialog : public QDialog {
    Q_OBJECT
public:
    PrivacyZonesDialog(const PrivacyZones& zones, PlaceCommands commands, QWidget* parent = nullptr);

private:
    void fill();
    void removeChosen();

    const PrivacyZones& zones_;
    PlaceCommands commands_;
    QListWidget* list_;
    QPushButton* remove_;
};

}  // namespace geovanta

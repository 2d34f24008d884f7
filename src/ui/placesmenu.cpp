#include "ui/placesmenu.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <optional>
#include <vector>

#include "app/commands/placecommands.h"
#include "app/document.h"
#include "app/placenamesetup.h"
#include "ui/map/mapcanvas.h"
#include "ui/map/mapwidget.h"
#include "ui/privacyzonesdialog.h"
#include "ui/tmainform.h"

namespace geovanta {
namespace {

QString translated(const char* text) { return QCoreApplication::translate("geovanta::PlacesMenu", text); }

QAction* addCheck(QMenu* menu, const char* name, const char* text, bool checked) {
    QAction* a = menu->addAction(translated(text));
    a->setObjectName(name);
    a->setCheckable(true);
    a->setChecked(checked);
    return a;
}

// The map draws the zones as the state holds them.
void showZones(TMainForm* window, const PrivacyZones& zones) {
    std::vector<MapCanvas::Zone> marks;
    for (const PrivacyZone& z : zones) marks.push_back({z.lat, z.lon, z.radiusM, QString::fromStdString(z.name)});
    window->map()->canvas()->setZones(std::move(marks));
}

}  // namespace

QMenu* addPlacesMenu(QMenuBar* bar, TMainForm* window, Document& document) {
    QMenu* menu = bar->addMenu(translated(QT_TRANSLATE_NOOP("geovanta::PlacesMenu", "&Места")));
    menu->setObjectName("PlacesMenu");
    ProgramState& state = document.state();
    // Names saved as on need their data from the start.
    if (const auto error = followPlaceNames(state))
        window->dialogs().showMessage(MessageKind::Failure, failureText(*error));
    auto commands = [window, &document] { return PlaceCommands(document, window->dialogs(), window->jobs()); };

    QAction* names = addCheck(menu, "PlaceNames", QT_TRANSLATE_NOOP("geovanta::PlacesMenu", "&Названия мест"),
                              state.placeNames);
    QObject::connect(names, &QAction::triggered, menu, [names, commands](bool on) {
        if (!commands().setPlaceNames(on)) names->setChecked(false);
    });
    QAction* replace = addCheck(menu, "ReplacePlaceNames",
                                QT_TRANSLATE_NOOP("geovanta::PlacesMenu", "За&менить названия мест"),
                                state.replacePlaceNames);
    replace->setToolTip(translated(QT_TRANSLATE_NOOP(
        "geovanta::PlacesMenu", "Названия, уже записанные в фото, уступают найденным по координатам")));
    QObject::connect(replace, &QAction::triggered, menu, [commands](bool on) { commands().setReplacePhotoNames(on); });
    QAction* direction =
        addCheck(menu, "TravelDirection",
                 QT_TRANSLATE_NOOP("geovanta::PlacesMenu", "Записывать направление &движения"), state.travelDirection);
    direction->setToolTip(translated(QT_TRANSLATE_NOOP(
        "geovanta::PlacesMenu", "Направление и скорость движения по треку (не направление объектива), "
                                "если быстрее 1 м/с")));
    QObject::connect(direction, &QAction::triggered, menu, [commands](bool on) { commands().setTravelDirection(on); });
    menu->addSeparator();
    QAction* zones = menu->addAction(translated(QT_TRANSLATE_NOOP("geovanta::PlacesMenu", "&Зоны приватности…")));
    zones->setObjectName("PrivacyZones");
    QObject::connect(zones, &QAction::triggered, menu, [window, &document, commands] {
        PrivacyZonesDialog dialog(document.state().privacyZones, commands(), window);
        dialog.exec();
        showZones(window, document.state().privacyZones);
    });
    showZones(window, state.privacyZones);
    // A right click on the map away from the photographs: a zone there.
    QObject::connect(window->map()->canvas(), &MapCanvas::placeMenuRequested, menu,
                     [window, &document, commands](double lat, double lon, const QPoint& at) {
                         QMenu here(window);
                         QAction* add = here.addAction(translated(
                             QT_TRANSLATE_NOOP("geovanta::PlacesMenu", "Зона приватности &здесь…")));
                         add->setObjectName("PrivacyZoneHere");
                         if (here.exec(at) != add) return;
                         const std::optional<PrivacyZone> zone = askPrivacyZone(window, lat, lon);
                         if (zone && commands().addZone(*zone)) showZones(window, document.state().privacyZones);
                     });
    return menu;
}

}  // namespace geovanta

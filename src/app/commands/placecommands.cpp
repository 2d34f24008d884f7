#include "app/commands/placecommands.h"

#include <memory>

#include "app/document.h"
#include "app/job.h"
#include "app/passjob.h"
#include "app/placenamesetup.h"
#include "table/messages.h"

namespace geovanta {

bool PlaceCommands::setPlaceNames(bool on) {
    ProgramState& state = document_.state();
    state.placeNames = on;
    if (const auto error = followPlaceNames(state)) {
        dialogs_.showMessage(MessageKind::Failure, failureText(*error));
        return false;
    }
    save(SettingsFile::kPlacesKey, on);
    pass();
    return true;
}

void PlaceCommands::setReplacePhotoNames(bool on) {
    document_.state().replacePlaceNames = on;
    save(SettingsFile::kReplacePlaceNamesKey, on);
    if (document_.state().placeNames) pass();
}

void PlaceCommands::setTravelDirection(bool on) {
    document_.state().travelDirection = on;
    save(SettingsFile::kTravelDirectionKey, on);
}

bool PlaceCommands::addZone(const PrivacyZone& zone) {
    PrivacyZones& zones = document_.state().privacyZones;
    if (!isValidZone(zone) || zones.size() >= SettingsFile::kMaxPrivacyZones) {
        dialogs_.showMessage(MessageKind::Failure, failureText(textOf(Msg::PrivacyZoneInvalid)));
        return false;
    }
    zones.push_back(zone);
    saveZones();
    pass();
    return true;
}

void PlaceCommands::removeZone(std::size_t index) {
    PrivacyZones& zones = document_.state().privacyZones;
    if (index >= zones.size()) return;
    zones.erase(zones.begin() + static_cast<std::ptrdiff_t>(index));
    saveZones();
    pass();
}

// The choice holds for this run either way; a file that cannot be written
// only loses it for the next start.
void PlaceCommands::save(const char* key, bool on) {
    if (const auto error = document_.settings().writeInteger(key, on ? 1 : 0))
        dialogs_.showMessage(MessageKind::Failure, failureText(*error));
}

void PlaceCommands::saveZones() {
    if (const auto error = document_.settings().writePrivacyZones(document_.state().privacyZones))
        dialogs_.showMessage(MessageKind::Failure, failureText(*error));
}

void PlaceCommands::pass() { jobs_.submit(std::make_unique<PassJob>()); }

}  // namespace geovanta

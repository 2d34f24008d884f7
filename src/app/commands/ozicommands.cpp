#include "app/commands/ozicommands.h"

#include "app/commands/dialogs.h"
#include "app/document.h"
#include "app/programstate.h"
#include "output/ozitransfer.h"
#include "table/messages.h"

namespace geovanta {

void OziCommands::sendTrack() {
    const OziTransfer::Outcome outcome = transfer_.sendTrack();
    if (outcome == OziTransfer::Outcome::Sent) document_.moveTo(0);
    if (outcome == OziTransfer::Outcome::NotRunning)
        dialogs_.showMessage(MessageKind::Error, textOf(Msg::OziNotRunning));
    else
        dialogs_.showMessage(MessageKind::Information, textOf(Msg::OziTrackSent));
}

void OziCommands::sendPhotos() {
    const OziTransfer::Outcome outcome = transfer_.sendPhotos(document_.state().privacyZones);
    if (outcome == OziTransfer::Outcome::Sent) document_.moveTo(0);
    if (outcome == OziTransfer::Outcome::NotRunning)
        dialogs_.showMessage(MessageKind::Error, textOf(Msg::OziNotRunning));
    else
        dialogs_.showMessage(MessageKind::Information, textOf(Msg::OziPhotosSent));
}

}  // namespace geovanta

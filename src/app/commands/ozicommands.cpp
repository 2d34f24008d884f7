#include "app/commands/ozicommands.h"

#include "app/commands/dialogs.h"
#include "output/ozitransfer.h"
#include "table/messages.h"

namespace geovanta {

void OziCommands::sendTrack() {
    if (transfer_.sendTrack() == OziTransfer::Outcome::NotRunning)
        dialogs_.showMessage(MessageKind::Error, textOf(Msg::OziNotRunning));
    else
        dialogs_.showMessage(MessageKind::Information, textOf(Msg::OziTrackSent));
}

void OziCommands::sendPhotos() {
    if (transfer_.sendPhotos() == OziTransfer::Outcome::NotRunning)
        dialogs_.showMessage(MessageKind::Error, textOf(Msg::OziNotRunning));
    else
        dialogs_.showMessage(MessageKind::Information, textOf(Msg::OziPhotosSent));
}

}  // namespace geovanta

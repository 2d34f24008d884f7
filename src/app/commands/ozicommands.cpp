#include "app/commands/ozicommands.h"

#include "app/commands/dialogs.h"
#include "output/ozitransfer.h"

namespace geovanta {

void OziCommands::sendTrack() {
    if (transfer_.sendTrack() == OziTransfer::Outcome::NotRunning)
        dialogs_.showMessage(MessageKind::Error, kOziNotRunningMessage);
    else
        dialogs_.showMessage(MessageKind::Information, kOziTrackSentMessage);
}

void OziCommands::sendPhotos() {
    if (transfer_.sendPhotos() == OziTransfer::Outcome::NotRunning)
        dialogs_.showMessage(MessageKind::Error, kOziNotRunningMessage);
    else
        dialogs_.showMessage(MessageKind::Information, kOziPhotosSentMessage);
}

}  // namespace geovanta

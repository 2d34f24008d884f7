#pragma once
// The OziExplorer commands: send the track or the placed photographs and say
// how it went.

namespace geovanta {

class Dialogs;
class OziTransfer;

class OziCommands {
public:
    OziCommands(OziTransfer& transfer, Dialogs& dialogs) : transfer_(transfer), dialogs_(dialogs) {}

    void sendTrack();
    void sendPhotos();

private:
    OziTransfer& transfer_;
    Dialogs& dialogs_;
};

}  // namespace geovanta

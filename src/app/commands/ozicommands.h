#pragma once
// The OziExplorer commands: send the track or the placed photographs and say
// how it went. Either, once sent, leaves the grid on the first row, where the
// transfer's walk through the table begins.

namespace geovanta {

class Dialogs;
class Document;
class OziTransfer;

class OziCommands {
public:
    OziCommands(OziTransfer& transfer, Dialogs& dialogs, Document& document)
        : transfer_(transfer), dialogs_(dialogs), document_(document) {}

    void sendTrack();
    void sendPhotos();

private:
    OziTransfer& transfer_;
    Dialogs& dialogs_;
    Document& document_;
};

}  // namespace geovanta

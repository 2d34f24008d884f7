#pragma once
// The OziExplorer commands: send the track or the placed photographs and say
// how it went.

namespace geovanta {

class Dialogs;
class OziTransfer;

inline constexpr const char* kOziNotRunningMessage = "Запустите программу OziExplorer";
inline constexpr const char* kOziTrackSentMessage = "Путь передан в OziExplorer";
inline constexpr const char* kOziPhotosSentMessage = "Координаты фотографий переданы в OziExplorer";

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

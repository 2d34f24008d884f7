#pragma once
// The window's place commands: names of where photographs were taken turned
// on and off, the photographs' own names given way or not, the direction of
// travel written or not, and the privacy zones added and removed. Each is
// saved in the settings file at once; those that change what the table
// shows re-run the pass, which names the places as it places photographs.

#include <cstddef>

#include "app/commands/dialogs.h"
#include "binding/privacyzones.h"

namespace geovanta {

class Document;
class JobRunner;

class PlaceCommands {
public:
    PlaceCommands(Document& document, Dialogs& dialogs, JobRunner& jobs)
        : document_(document), dialogs_(dialogs), jobs_(jobs) {}

    // False when the names' data could not be loaded (said in a box): names
    // stay off.
    bool setPlaceNames(bool on);
    void setReplacePhotoNames(bool on);
    void setTravelDirection(bool on);
    // False for a zone that is not valid, or one too many (said in a box).
    bool addZone(const PrivacyZone& zone);
    void removeZone(std::size_t index);

private:
    void save(const char* key, bool on);
    void saveZones();
    void pass();

    Document& document_;
    Dialogs& dialogs_;
    JobRunner& jobs_;
};

}  // namespace geovanta

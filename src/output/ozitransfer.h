#pragma once
// Sending the table to a running OziExplorer: the GPS points as track 1, the
// placed photographs as waypoints. Each command asks the library again whether
// OziExplorer is running; nothing about it is remembered between commands.

#include "binding/privacyzones.h"
#include "output/oziapi.h"

namespace geovanta {

class DataTable;

class OziTransfer {
public:
    enum class Outcome { Sent, NotRunning };

    OziTransfer(OziApi& api, const DataTable& table) : api_(api), table_(table) {}

    // Replaces track 1 with every row that is not a photograph, in table order.
    Outcome sendTrack();
    // Creates one waypoint per photograph with a position, named after it; a
    // waypoint of the same name is deleted first so repeating is harmless.
    // A photograph inside one of `zones` is not sent, even one placed there
    // by hand before the zone was drawn.
    Outcome sendPhotos(const PrivacyZones& zones = {});
    // At shutdown: closes the library's connection, once.
    void shutdown();

private:
    OziApi& api_;
    const DataTable& table_;
    bool closed_ = false;
};

}  // namespace geovanta

#include "output/ozitransfer.h"

#include <string>

#include "table/datatable.h"
#include "table/position.h"
#include "table/textcodec.h"

namespace geovanta {

namespace {

constexpr int32_t kTrack = 1;
// OziExplorer, a Windows program, has only ever been handed this much of a
// waypoint's file; the table itself keeps the whole path.
constexpr std::size_t kOziFileNameWidth = 255;

}  // namespace

OziTransfer::Outcome OziTransfer::sendTrack() {
    if (api_.findOzi() != 0) return Outcome::NotRunning;
    api_.clearTrack(kTrack);
    for (std::size_t r = 0; r < table_.rowCount(); ++r) {
        if (table_.isPhoto(r)) continue;
        // The row's own time, not the shifted one: OziExplorer shows the
        // track as it was recorded.
        api_.createTrackPoint(kTrack, 0, table_.real(r, FieldId::Lat), table_.real(r, FieldId::Lon),
                              table_.real(r, FieldId::Elev), table_.real(r, FieldId::Time));
    }
    api_.showAllTracks();
    return Outcome::Sent;
}

OziTransfer::Outcome OziTransfer::sendPhotos(const PrivacyZones& zones) {
    if (api_.findOzi() != 0) return Outcome::NotRunning;
    // One empty text whose variable is passed wherever an empty text is wanted.
    char emptyText[1] = {'\0'};
    char* empty = emptyText;
    for (std::size_t r = 0; r < table_.rowCount(); ++r) {
        if (!table_.isPhoto(r) || !hasWaypointPosition(table_, r)) continue;
        if (zoneHolding(zones, table_.real(r, FieldId::Lat), table_.real(r, FieldId::Lon))) continue;
        // Names are passed as the bytes the table holds, whatever their encoding.
        std::string nameText(table_.text(r, FieldId::Name));
        std::string fileText(cutToWidth(table_.text(r, FieldId::FileName), kOziFileNameWidth));
        char* name = nameText.data();
        char* fileName = fileText.data();
        api_.deleteWpByName(&name);
        api_.createWPex(&name, 1, table_.real(r, FieldId::Lat), table_.real(r, FieldId::Lon), 0,
                        table_.real(r, FieldId::Time), -1, -1, -1, -1, -1, 0, &empty, -1, -1, -1, 0, 0, 0, 0,
                        &fileName, &empty, &empty);
    }
    api_.showAllTracks();
    return Outcome::Sent;
}

void OziTransfer::shutdown() {
    if (closed_) return;
    closed_ = true;
    api_.closeApi();
}

}  // namespace geovanta

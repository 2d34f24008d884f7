#pragma once
// Pieces the benchmarks share: an offscreen application for the windows, and
// rows appended as the readers append them.

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "table/datatable.h"

namespace geovanta::bench {

inline QApplication& offscreenApp() {
    static int argc = 1;
    static char name[] = "geovanta_bench";
    static char* argv[] = {name, nullptr};
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Never destroyed: at exit, after main, Qt's own statics are already
    // going, and tearing the application down then crashes in them.
    static QApplication* instance = new QApplication(argc, argv);
    return *instance;
}

// Point `index` (from 0) of track 1.
inline void appendTrackPoint(DataTable& t, int index, double time, double lat, double lon, double elev = 0) {
    char name[32];
    std::snprintf(name, sizeof name, "T01-%04d", (index + 1) % 65536);
    t.append();
    const std::size_t r = t.recNo();
    t.setText(r, FieldId::Stat, "T");
    t.setText(r, FieldId::Name, name);
    t.setDateTime(r, FieldId::Time, time);
    t.setReal(r, FieldId::Lat, lat);
    t.setReal(r, FieldId::Lon, lon);
    if (elev != 0) t.setReal(r, FieldId::Elev, elev);
    t.post();
}

// Photograph `index` of a folder, shot at `time`, not yet placed.
inline void appendPhoto(DataTable& t, int index, double time) {
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%05d.JPG", index);
    t.append();
    const std::size_t r = t.recNo();
    t.setText(r, FieldId::Stat, "F");
    t.setText(r, FieldId::Name, name);
    t.setText(r, FieldId::FileName, std::string("/photos/") + name);
    t.setDateTime(r, FieldId::Time, time);
    t.post();
}

}  // namespace geovanta::bench

#pragma once
// Rows for the map's tests: kind, name and, unless the latitude is 0, a position.

#include "table/datatable.h"

namespace geovanta::test {

inline void addMapRow(DataTable& t, const char* stat, const char* name, double lat, double lon) {
    t.append();
    const std::size_t r = t.recNo();
    t.setText(r, FieldId::Stat, stat);
    t.setText(r, FieldId::Name, name);
    if (lat != 0) {
        t.setReal(r, FieldId::Lat, lat);
        t.setReal(r, FieldId::Lon, lon);
    }
    t.post();
}

}  // namespace geovanta::test

#pragma once
// Rows for tag-writer tests.

#include <optional>
#include <string>

#include "table/datatable.h"

namespace geovanta::test {

inline void addRow(DataTable& table, const char* stat, const std::string& file, double lat, double lon,
                   std::optional<double> elevFeet) {
    table.append();
    const std::size_t row = table.recNo();
    table.setText(row, FieldId::Stat, stat);
    table.setText(row, FieldId::Name, file);
    table.setText(row, FieldId::FileName, file);
    if (lat != 0) table.setReal(row, FieldId::Lat, lat);
    if (lon != 0) table.setReal(row, FieldId::Lon, lon);
    if (elevFeet) table.setReal(row, FieldId::Elev, *elevFeet);
    table.post();
}

// Feet that the table turns into exactly `metres` whole metres.
inline double feetFor(int metres) { return (metres + (metres < 0 ? -0.5 : 0.5)) / 0.3048; }

inline void addPhoto(DataTable& table, const std::string& file, double lat, double lon,
                     std::optional<double> elevFeet = std::nullopt) {
    addRow(table, "F", file, lat, lon, elevFeet);
}

inline void addTrackPoint(DataTable& table, double lat, double lon) { addRow(table, "T", "", lat, lon, 0.0); }

}  // namespace geovanta::test

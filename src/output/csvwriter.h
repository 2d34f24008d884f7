#pragma once
#include <ostream>

namespace geovanta {

class DataTable;

// The record table as CSV (RFC 4180, UTF-8), one line per row in table order:
// Stat,Name,Time,Lat,Lon,Elev,Dist,Speed,VTime,FileName,Type,VLat,VLon,VElev,Camera
// and, with `placeNames`, City,State,Country,CountryCode.
// Date-times as "YYYY-MM-DD HH:MM:SS.zzz", numbers in their shortest exact
// form, empty fields empty; VLat, VLon and VElev empty where the grid shows
// nothing (a photograph without a position, no altitude). Camera and the
// place names come last, so that scripts reading the earlier columns by
// place go on working, as the grid shows them.
class CsvWriter {
public:
    static void write(const DataTable& table, std::ostream& out, bool placeNames = false);
};

}  // namespace geovanta

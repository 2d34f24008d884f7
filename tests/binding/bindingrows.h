#pragma once
// Rows for binding tests: times on 1 December 2010, found again by name.

#include <gtest/gtest.h>

#include <optional>
#include <string_view>

#include "table/datatable.h"

namespace geovanta::test {

inline constexpr double kDay = 40513.0;  // 1 December 2010
inline double at(int h, int m, int s) { return kDay + (h * 3600 + m * 60 + s) / 86400.0; }

inline void add(DataTable& t, const char* stat, const char* name, double time, std::optional<double> lat = {},
                std::optional<double> lon = {}, std::optional<double> elev = {}) {
    t.append();
    t.field(FieldId::Stat).setAsString(stat);
    t.field(FieldId::Name).setAsString(name);
    t.field(FieldId::Time).setAsDateTime(time);
    if (lat) t.field(FieldId::Lat).setAsFloat(*lat);
    if (lon) t.field(FieldId::Lon).setAsFloat(*lon);
    if (elev) t.field(FieldId::Elev).setAsFloat(*elev);
    t.post();
}

inline std::size_t find(const DataTable& t, std::string_view name) {
    for (std::size_t r = 0; r < t.rowCount(); ++r)
        if (t.text(r, FieldId::Name) == name) return r;
    ADD_FAILURE() << "no row " << name;
    return 0;
}

}  // namespace geovanta::test

#pragma once
// A reader run on bytes in a table of its own, as the load runs it; rows stay
// in the order the reader appended them.

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "input/gpsread.h"
#include "table/datatable.h"

namespace geovanta::test {

struct ReaderRun {
    DataTable table;
    uint16_t tracks = 0;
    GpsRead read{table, "test-file", tracks};
    LoadResult result;

    double lat(std::size_t row) const { return table.real(row, FieldId::Lat); }
    double lon(std::size_t row) const { return table.real(row, FieldId::Lon); }
    int64_t timeMs(std::size_t row) const { return table.timeMs(row, FieldId::Time); }
    std::optional<double> elevMetres(std::size_t row) const {
        const std::optional<double> feet = table.optReal(row, FieldId::Elev);
        return feet ? std::optional<double>(*feet * 0.3048) : std::nullopt;
    }
};

inline std::unique_ptr<ReaderRun> runReader(GpsReaderFn reader, std::string_view bytes) {
    auto run = std::make_unique<ReaderRun>();
    run->result = reader(bytes, run->read);
    return run;
}

inline std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace geovanta::test

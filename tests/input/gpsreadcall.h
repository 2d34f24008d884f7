#pragma once
// One call of a GPS reader on bytes in memory, with what the load would be
// told besides its rows; and the rows a file gave, in its order.

#include <cstdint>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "input/gpsread.h"
#include "table/datatable.h"
#include "unicsv.h"

namespace geovanta::test {

struct GpsReadCall {
    LoadResult result;
    GpsReadStats stats;
    uint16_t tracks = 0;
};

using GpsReader = std::function<LoadResult(std::string_view, GpsRead&)>;

inline GpsReadCall callReader(const GpsReader& reader, DataTable& table, std::string_view bytes,
                              const std::string& path = "t.xml") {
    GpsReadCall call;
    GpsRead read(table, path, call.tracks);
    call.result = reader(bytes, read);
    call.stats = read.stats;
    return call;
}

inline std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The rows of kind `stat`, in the order the reader appended them.
inline std::vector<std::size_t> rowsOfKind(const DataTable& t, char stat) {
    std::vector<std::size_t> out;
    for (std::size_t row : fileOrder(t))
        if (t.stat(row) == stat) out.push_back(row);
    return out;
}

}  // namespace geovanta::test

#include "output/csvwriter.h"

#include <string>

#include "table/datatable.h"
#include "table/datetime.h"
#include "table/numbertext.h"
#include "table/textcodec.h"

namespace geovanta {
namespace {

constexpr FieldId kColumns[] = {FieldId::Stat,  FieldId::Name,     FieldId::Time, FieldId::Lat,  FieldId::Lon,
                                FieldId::Elev,  FieldId::Dist,     FieldId::Speed, FieldId::VTime,
                                FieldId::FileName, FieldId::Type, FieldId::VLat, FieldId::VLon, FieldId::VElev};

void writeQuoted(std::ostream& out, const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        out << text;
        return;
    }
    out << '"';
    for (char c : text) {
        if (c == '"') out << '"';
        out << c;
    }
    out << '"';
}

std::string cell(const DataTable& t, std::size_t row, FieldId f) {
    const FieldInfo& info = fieldInfo(f);
    if (info.calculated) return t.asString(row, f);
    if (t.isNull(row, f)) return "";
    switch (info.kind) {
        case FieldKind::Text: return displayUtf8(t.text(row, f));
        case FieldKind::DateTime: return formatIsoDayTime(t.timeMs(row, f));
        case FieldKind::Real: return formatShortest(t.real(row, f));
        case FieldKind::Integer: return t.asString(row, f);
    }
    return "";
}

}  // namespace

void CsvWriter::write(const DataTable& table, std::ostream& out) {
    bool firstColumn = true;
    for (FieldId f : kColumns) {
        if (!firstColumn) out << ',';
        out << fieldInfo(f).name;
        firstColumn = false;
    }
    out << "\r\n";
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        firstColumn = true;
        for (FieldId f : kColumns) {
            if (!firstColumn) out << ',';
            writeQuoted(out, cell(table, row, f));
            firstColumn = false;
        }
        out << "\r\n";
    }
}

}  // namespace geovanta

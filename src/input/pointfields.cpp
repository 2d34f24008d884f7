#include "input/pointfields.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "input/fieldsplit.h"
#include "table/datatable.h"
#include "table/datetime.h"
#include "table/messages.h"
#include "table/numbertext.h"
#include "table/position.h"
#include "table/textcodec.h"

namespace geovanta {

std::optional<std::string> readTimeField(std::string_view text, int64_t& ms) {
    const std::optional<double> days = parseNumber(text);
    if (!days) return invalidFloatMessage(quotedExcerpt(text));
    // A number the table cannot hold as a date would be clamped silently;
    // a far-off time is a damaged line, not a point to keep.
    if (!dayTimeInRange(*days)) return textOf(Msg::InvalidDateTime, {quotedExcerpt(text)});
    ms = daysToMs(*days);
    return std::nullopt;
}

std::optional<std::string> readNumberField(std::string_view text, const char* fieldName,
                                           std::optional<double>& value) {
    if (text.empty()) {
        value.reset();
        return std::nullopt;
    }
    value = parseNumber(text);
    if (!value) return invalidFloatFieldMessage(quotedExcerpt(text), fieldName);
    return std::nullopt;
}

std::optional<std::string> readCoordinateField(std::string_view text, const char* fieldName, double limit,
                                               std::optional<double>& value) {
    if (auto error = readNumberField(text, fieldName, value)) return error;
    if (value && std::fabs(*value) > limit) return outOfRangeMessage(text, fieldName);
    return std::nullopt;
}

std::optional<std::string> readElevationField(std::string_view text, std::optional<double>& value,
                                              std::size_t& outOfRange) {
    if (text.empty()) {
        value.reset();
        return std::nullopt;
    }
    value = parseNumberOrInfinity(text);
    if (!value) return invalidFloatFieldMessage(quotedExcerpt(text), "Elev");
    if (!altitudeInRange(*value)) {
        value = kNoAltitudeFeet;
        ++outOfRange;
    }
    return std::nullopt;
}

double feetFromMetres(double metres) {
    constexpr long double kMetresPerFoot = 0.3048L;
    double feet = static_cast<double>(metres / kMetresPerFoot);
    for (int step = 0; step < 4; ++step) {
        const long double back = static_cast<long double>(feet) * kMetresPerFoot;
        if (metres > 0 && back < metres)
            feet = std::nextafter(feet, HUGE_VAL);
        else if (metres < 0 && back > metres)
            feet = std::nextafter(feet, -HUGE_VAL);
        else
            break;
    }
    return feet;
}

std::string outOfRangeMessage(std::string_view text, const char* fieldName) {
    return textOf(Msg::OutOfRangeForField, {quotedExcerpt(text), fieldName});
}

void appendPointRow(DataTable& table, char stat, std::string_view name, const PointFields& fields) {
    table.append();
    const std::size_t row = table.recNo();
    table.setText(row, FieldId::Stat, std::string_view(&stat, 1));
    table.setText(row, FieldId::Name, name);
    table.setTimeMs(row, FieldId::Time, fields.timeMs);
    if (fields.lat) table.setReal(row, FieldId::Lat, *fields.lat);
    if (fields.lon) table.setReal(row, FieldId::Lon, *fields.lon);
    if (fields.elev) table.setReal(row, FieldId::Elev, *fields.elev);
    table.post();
}

void reserveRows(DataTable& table, std::size_t expected) {
    if (expected > table.rowCount()) table.reserve(table.rowCount() + expected);
}

namespace {

// Line ends are counted in this much of a file's start: a big file is mapped
// and read as it is walked, and a count through all of it would bring it
// into memory whole before the first row.
constexpr std::size_t kLineSampleBytes = std::size_t{4} << 20;

}  // namespace

std::size_t expectedLines(std::string_view bytes, std::size_t typicalLineBytes) {
    const std::size_t bySize = bytes.size() / typicalLineBytes;
    const std::string_view sample = bytes.substr(0, kLineSampleBytes);
    std::size_t ends = countByte(sample, '\n');
    // Files with lone CRs for line ends.
    if (ends == 0) ends = countByte(sample, '\r');
    // Lines as long as the sample's through the rest of the file.
    if (sample.size() < bytes.size())
        ends = static_cast<std::size_t>(static_cast<double>(ends) * static_cast<double>(bytes.size()) /
                                        static_cast<double>(sample.size()));
    return std::min(bySize, ends + 1);
}

FirstNulByte::FirstNulByte(std::string_view text) : text_(text), at_(0), lookedTo_(0) {}

bool FirstNulByte::in(std::string_view line) {
    const auto begin = static_cast<std::size_t>(line.data() - text_.data());
    const std::size_t end = begin + line.size();
    // A megabyte ahead at a time, never behind the line: the text is read
    // once, in order, alongside the reader.
    constexpr std::size_t kAhead = std::size_t{1} << 20;
    while (at_ == lookedTo_ && lookedTo_ < end) {
        const std::size_t to = std::min(text_.size(), std::max(end, lookedTo_ + kAhead));
        const void* nul = std::memchr(text_.data() + lookedTo_, 0, to - lookedTo_);
        at_ = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - text_.data()) : to;
        lookedTo_ = to;
    }
    return at_ < lookedTo_ && at_ >= begin && at_ < end;
}

std::optional<std::string> nulByteError(std::string_view line) {
    if (line.find('\0') == std::string_view::npos) return std::nullopt;
    return textOf(Msg::NulByteInLine);
}

std::string lineSuffix(const std::string& path, std::size_t lineNumber) {
    return textOf(Msg::AtFileLine, {displayFileName(path), lineNumber});
}

std::string byteSuffix(const std::string& path, uint64_t offset) {
    return textOf(Msg::AtFileByte, {displayFileName(path), offset});
}

bool lookAt(Progress& progress, const TextLines& lines) {
    progress.setTotal(lines.size());
    progress.setDone(lines.offset());
    return progress.cancelled();
}

}  // namespace geovanta

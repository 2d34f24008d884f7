#include "output/tagwriter.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "output/splitdms.h"
#include "table/datatable.h"
#include "table/textcodec.h"

namespace geovanta {
namespace {

bool positionInRange(double lat, double lon) {
    return std::isfinite(lat) && std::isfinite(lon) && std::fabs(lat) <= 90 && std::fabs(lon) <= 180;
}

// ExifTool writes the new photograph beside the old one under this suffix and
// renames it over the old one at the end. A run cut short leaves it behind,
// and while it is there ExifTool refuses to write that photograph again.
constexpr const char* kExifToolTempSuffix = "_exiftool_tmp";

// True unless the path is known to be free; a path that cannot be looked at
// counts as taken.
bool mayExist(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::symlink_status(path, ec).type() != std::filesystem::file_type::not_found;
}

}  // namespace

std::vector<std::string> TagWriter::arguments(const DataTable& table, std::size_t row) {
    const DmsParts lat = SplitDMS(table.real(row, FieldId::Lat), "SN");
    const DmsParts lon = SplitDMS(table.real(row, FieldId::Lon), "WE");
    std::vector<std::string> args{
        "-overwrite_original",
        "-P",
        "-v0",
        "-GPSLatitudeRef=" + lat.letter,
        "-GPSLatitude=dd/" + lat.degrees + ",mm/" + lat.minutes + ",ss/" + lat.seconds,
        "-GPSLongitudeRef=" + lon.letter,
        "-GPSLongitude=dd/" + lon.degrees + ",mm/" + lon.minutes + ",ss/" + lon.seconds,
    };
    // No altitude on the track: leave whatever the photograph holds.
    if (!table.isNull(row, FieldId::Elev)) {
        const int32_t metres = table.vElev(row);
        args.push_back("-GPSAltitude=" + std::to_string(metres));
        // ExifTool stores the altitude's magnitude; the sign lives in the
        // reference tag. It is written for positive values too, so that a
        // photograph once written below sea level does not keep reading so.
        // "#=" hands ExifTool the stored number itself.
        args.push_back(metres < 0 ? "-GPSAltitudeRef#=1" : "-GPSAltitudeRef#=0");
    }
    // A name beginning with "-" must never be taken for an option.
    args.push_back("--");
    args.emplace_back(table.text(row, FieldId::FileName));
    return args;
}

std::string TagWriter::failureLine(const DataTable& table, std::size_t row, const std::string& reason) {
    return "\"" + displayUtf8(table.text(row, FieldId::FileName)) + "\": " + reason;
}

TagWriter::Result TagWriter::write(const DataTable& table, std::size_t row) {
    Result result;
    if (!positionInRange(table.real(row, FieldId::Lat), table.real(row, FieldId::Lon))) {
        result.failure =
            failureLine(table, row, "the position lies outside the range of latitudes and longitudes");
        result.errorLines.push_back(*result.failure);
        return result;
    }
    // Only a leftover of this very run is removed: one found before may
    // belong to another program writing the photograph right now.
    const std::filesystem::path temp(std::string(table.text(row, FieldId::FileName)) + kExifToolTempSuffix);
    const bool tempBefore = mayExist(temp);
    CommandResult run = runner_.run(program_, arguments(table, row));
    if (!run.succeeded() && !tempBefore) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
    }
    // The reason quotes the last line of standard error, so it is taken first.
    if (!run.succeeded()) result.failure = failureLine(table, row, run.failureReason(program_));
    result.outputLines = std::move(run.outputLines);
    result.errorLines = std::move(run.errorLines);
    if (result.failure) result.errorLines.push_back(*result.failure);
    return result;
}

}  // namespace geovanta

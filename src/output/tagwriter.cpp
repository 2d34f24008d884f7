#include "output/tagwriter.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "output/exiftoolsession.h"
#include "output/photofile.h"
#include "output/splitdms.h"
#include "table/datatable.h"
#include "table/numbertext.h"
#include "table/position.h"
#include "table/textcodec.h"

namespace geovanta {
namespace {

// Seconds of arc to four decimals: 0.0001" is about 3 mm on the ground,
// finer than any position the table can hold from a GPS track.
constexpr int kSecondDecimals = 4;
constexpr long double kMetresPerFoot = 0.3048L;

bool positionInRange(double lat, double lon) {
    return std::isfinite(lat) && std::isfinite(lon) && std::fabs(lat) <= 90 && std::fabs(lon) <= 180;
}

// ExifTool writes the new photograph beside the old one under this suffix and
// renames it over the old one at the end. A run cut short leaves it behind,
// and while it is there ExifTool refuses to write that photograph again.
constexpr const char* kExifToolTempSuffix = "_exiftool_tmp";

constexpr const char* kUnsayableName =
    "the name holds a line break beside \"$\" or \"@\", which ExifTool cannot be given";

// True unless the path is known to be free; a path that cannot be looked at
// counts as taken.
bool mayExist(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::symlink_status(path, ec).type() != std::filesystem::file_type::not_found;
}

// Removes ExifTool's temporary file left beside the photograph by a write
// that was cut short; while it is there ExifTool refuses to write the
// photograph. Only a regular file is ExifTool's; the photograph itself has
// just been found to be the one scanned, so nothing of it is lost.
void removeLeftover(const std::string& target, std::vector<std::string>& notes) {
    const std::string temp = target + kExifToolTempSuffix;
    std::error_code ec;
    if (std::filesystem::symlink_status(temp, ec).type() != std::filesystem::file_type::regular) return;
    if (std::filesystem::remove(temp, ec))
        notes.push_back("removed \"" + displayFileName(temp) + "\", left by an earlier write that was cut short");
}

bool mentions(const std::vector<std::string>& lines, std::string_view text) {
    for (const std::string& line : lines)
        if (line.find(text) != std::string::npos) return true;
    return false;
}

// The file as ExifTool's last argument. A relative name is led by "./": in
// ExifTool's argument file a leading "-" would make it an option, a leading
// "#" a comment and leading blanks would be dropped.
std::string fileArgument(std::string_view fileName) {
    if (std::filesystem::path(fileName).is_absolute()) return std::string(fileName);
    return "./" + std::string(fileName);
}

// The elevation in feet as metres to 0.1 m, halves to even; only for an
// altitude in range, so that the whole number always fits.
std::string metresText(double feet) {
    const double tenths = roundHalfEven(static_cast<long double>(feet) * kMetresPerFoot * 10);
    const auto magnitude = static_cast<long long>(std::fabs(tenths));
    return (tenths < 0 ? "-" : "") + std::to_string(magnitude / 10) + "." + std::to_string(magnitude % 10);
}

// The console's note on an altitude beyond any real height.
std::string altitudeLeftOut(double feet) {
    const std::string value =
        std::isfinite(feet) ? formatGeneral(static_cast<double>(feet * kMetresPerFoot)) + " m" : "(not a number)";
    return "the altitude " + value + " cannot be written and was left out; latitude and longitude were written";
}

}  // namespace

std::vector<std::string> TagWriter::arguments(const DataTable& table, std::size_t row) {
    const DmsParts lat = SplitDMS(table.real(row, FieldId::Lat), "SN", kSecondDecimals);
    const DmsParts lon = SplitDMS(table.real(row, FieldId::Lon), "WE", kSecondDecimals);
    std::vector<std::string> args{
        "-overwrite_original",
        "-P",
        "-v0",
        "-GPSLatitudeRef=" + lat.letter,
        "-GPSLatitude=dd/" + lat.degrees + ",mm/" + lat.minutes + ",ss/" + lat.seconds,
        "-GPSLongitudeRef=" + lon.letter,
        "-GPSLongitude=dd/" + lon.degrees + ",mm/" + lon.minutes + ",ss/" + lon.seconds,
    };
    // No altitude on the track: leave whatever the photograph holds. One
    // beyond any real height is left out too (job() says so).
    if (!table.isNull(row, FieldId::Elev) && altitudeInRange(table.real(row, FieldId::Elev))) {
        const std::string metres = metresText(table.real(row, FieldId::Elev));
        args.push_back("-GPSAltitude=" + metres);
        // ExifTool stores the altitude's magnitude; the sign lives in the
        // reference tag. It is written for positive values too, so that a
        // photograph once written below sea level does not keep reading so.
        // "#=" hands ExifTool the stored number itself.
        args.push_back(metres.front() == '-' ? "-GPSAltitudeRef#=1" : "-GPSAltitudeRef#=0");
    }
    args.push_back(fileArgument(table.text(row, FieldId::FileName)));
    return args;
}

TagJob TagWriter::job(const DataTable& table, std::size_t row) {
    TagJob job;
    job.row = row;
    job.fileName = std::string(table.text(row, FieldId::FileName));
    job.resolved = resolvedPhotoPath(job.fileName);
    if (const FileStamp* stamp = table.fileStamp(row)) job.stamp = *stamp;
    if (!positionInRange(table.real(row, FieldId::Lat), table.real(row, FieldId::Lon))) {
        job.refusal = "the position lies outside the range of latitudes and longitudes";
        return job;
    }
    job.args = arguments(table, row);
    const double feet = table.real(row, FieldId::Elev);
    if (!table.isNull(row, FieldId::Elev) && !altitudeInRange(feet))
        job.notes.push_back(failureLine(job.fileName, altitudeLeftOut(feet)));
    if (!ExifToolSession::argumentLine(job.args.back())) job.refusal = kUnsayableName;
    return job;
}

std::string TagWriter::failureLine(std::string_view fileName, const std::string& reason) {
    return "\"" + displayFileName(fileName) + "\": " + reason;
}

namespace {

// ExifTool could not take the photograph at all.
TagWriter::Result failed(const TagJob& job, CommandResult& run, const std::string& program) {
    TagWriter::Result result;
    result.outcome = run.outcome;
    result.reason = run.failureReason(program);
    result.failure = TagWriter::failureLine(job.fileName, result.reason);
    result.outputLines = std::move(run.outputLines);
    result.errorLines = std::move(run.errorLines);
    result.errorLines.push_back(*result.failure);
    return result;
}

}  // namespace

TagWriter::Result TagWriter::refused(const TagJob& job, const std::string& reason) {
    Result result;
    result.reason = reason;
    result.failure = failureLine(job.fileName, result.reason);
    result.errorLines.push_back(*result.failure);
    return result;
}

TagWriter::Result TagWriter::write(ToolSession& session, const TagJob& job, const CommandLimits& limits) const {
    if (job.refusal) return refused(job, *job.refusal);
    if (CommandResult ready = session.ready(limits); !ready.succeeded()) {
        Result result = failed(job, ready, program());
        result.ran = true;
        return result;
    }
    const PhotoFile file = checkPhotoFile(job.fileName, job.resolved, job.stamp ? &*job.stamp : nullptr);
    if (file.refusal) return refused(job, *file.refusal);
    std::vector<std::string> args = job.args;
    args.back() = file.target;
    if (!ExifToolSession::argumentLine(file.target)) return refused(job, kUnsayableName);
    Result result;
    result.ran = true;
    if (job.folderLocked) removeLeftover(file.target, result.notes);
    // Without the folder's lock a temporary file found before may belong to
    // another program writing the photograph right now. What ExifTool leaves
    // behind when it fails is removed only when it can be nobody else's: it
    // was not there before, and ExifTool did not find it there either.
    const std::filesystem::path temp(file.target + kExifToolTempSuffix);
    const bool tempBefore = mayExist(temp);
    CommandResult run = session.execute(args, limits);
    if (!run.succeeded() && !tempBefore && !mentions(run.errorLines, "Temporary file already exists")) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
    }
    result.outcome = run.outcome;
    if (run.succeeded()) {
        result.written = fileStampOf(file.target);
        result.notes.insert(result.notes.end(), job.notes.begin(), job.notes.end());
    }
    // The reason quotes the last line of standard error, so it is taken first.
    if (!run.succeeded()) {
        result.reason = run.failureReason(program());
        result.failure = failureLine(job.fileName, result.reason);
    }
    result.outputLines = std::move(run.outputLines);
    result.errorLines = std::move(run.errorLines);
    if (result.failure) result.errorLines.push_back(*result.failure);
    return result;
}

}  // namespace geovanta

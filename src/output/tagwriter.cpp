#include "output/tagwriter.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "app/dialogs.h"
#include "app/programstate.h"
#include "output/splitdms.h"
#include "table/datatable.h"
#include "table/displaysuspension.h"
#include "table/textcodec.h"

namespace geovanta {

namespace {

// Shown in the error box at most; the errors pane holds them all.
constexpr std::size_t kFailuresInBox = 10;

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

int photoRows(const DataTable& table) {
    int count = 0;
    for (std::size_t row = 0; row < table.rowCount(); ++row)
        if (table.isPhoto(row)) ++count;
    return count;
}

}  // namespace

TagWriter::TagWriter(DataTable& table, ConsoleView& console, CommandRunner& runner, std::string program)
    : table_(table), console_(console), runner_(runner), program_(std::move(program)) {}

std::string TagWriter::defaultProgram() {
#if defined(_WIN32)
    return executableFolder() + "exiftool.exe";
#else
    return executableFolder() + "exiftool";
#endif
}

std::vector<std::string> TagWriter::arguments(std::size_t row) const {
    const DmsParts lat = SplitDMS(table_.real(row, FieldId::Lat), "SN");
    const DmsParts lon = SplitDMS(table_.real(row, FieldId::Lon), "WE");
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
    if (!table_.isNull(row, FieldId::Elev)) {
        const int32_t metres = table_.vElev(row);
        args.push_back("-GPSAltitude=" + std::to_string(metres));
        // ExifTool stores the altitude's magnitude; the sign lives in the
        // reference tag. It is written for positive values too, so that a
        // photograph once written below sea level does not keep reading so.
        // "#=" hands ExifTool the stored number itself.
        args.push_back(metres < 0 ? "-GPSAltitudeRef#=1" : "-GPSAltitudeRef#=0");
    }
    // A name beginning with "-" must never be taken for an option.
    args.push_back("--");
    args.emplace_back(table_.text(row, FieldId::FileName));
    return args;
}

std::string TagWriter::failureLine(std::size_t row, const std::string& reason) const {
    return "\"" + displayUtf8(table_.text(row, FieldId::FileName)) + "\": " + reason;
}

TagWriter::PhotoOutcome TagWriter::SetGPS2EXIF(std::vector<std::string>& outputLines) {
    PhotoOutcome outcome;
    if (table_.isEmpty() || table_.eof()) return outcome;
    const std::size_t row = table_.recNo();
    if (!table_.isPhoto(row)) return outcome;
    const double lat = table_.real(row, FieldId::Lat);
    if (lat == 0) {
        console_.stepProgress();
        return outcome;
    }
    outcome.attempted = true;
    if (!positionInRange(lat, table_.real(row, FieldId::Lon))) {
        outcome.failure = failureLine(row, "the position lies outside the range of latitudes and longitudes");
        outputLines.clear();
        console_.replaceErrors({*outcome.failure});
    } else {
        // Only a leftover of this very run is removed: one found before may
        // belong to another program writing the photograph right now.
        const std::filesystem::path temp(std::string(table_.text(row, FieldId::FileName)) + kExifToolTempSuffix);
        const bool tempBefore = mayExist(temp);
        CommandResult result = runner_.run(program_, arguments(row));
        if (!result.succeeded() && !tempBefore) {
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
        }
        outputLines = std::move(result.outputLines);
        if (!result.succeeded()) {
            outcome.failure = failureLine(row, result.failureReason(program_));
            result.errorLines.push_back(*outcome.failure);
        }
        console_.replaceErrors(result.errorLines);
    }
    console_.processPendingEvents();
    outcome.goOn = !console_.abortRequested();
    console_.stepProgress();
    return outcome;
}

TagWriter::BatchOutcome TagWriter::writeAll() {
    BatchOutcome batch;
    if (table_.isEmpty()) return batch;
    console_.setProgressMaximum(photoRows(table_));
    console_.showConsole();
    console_.setProgressPosition(0);

    // Runs however the walk ends, so that the main window never stays
    // disabled after an error; the grid resumes first (declared last).
    struct Finish {
        ConsoleView& console;
        ~Finish() {
            console.setProgressPosition(0);
            console.closeConsole();
        }
    };
    Finish finish{console_};
    DisplaySuspension suspended(table_);

    std::vector<std::string> lines;
    for (table_.first(); !table_.eof(); table_.next()) {
        if (!table_.isPhoto(table_.recNo())) continue;
        lines.clear();
        const PhotoOutcome photo = SetGPS2EXIF(lines);
        if (photo.attempted) ++batch.attempted;
        if (photo.failure) batch.failures.push_back(*photo.failure);
        if (!photo.goOn) {
            batch.aborted = true;
            break;
        }
        console_.appendInfo(lines);
    }
    if (!batch.failures.empty()) console_.replaceErrors(batch.failures);
    return batch;
}

void TagWriter::ToolButton8Click(Dialogs& dialogs) {
    const BatchOutcome batch = writeAll();
    if (batch.failures.empty()) return;
    std::string text = "GPS tags were not written to " + std::to_string(batch.failures.size()) + " of " +
                       std::to_string(batch.attempted) + " photos:";
    for (std::size_t i = 0; i < batch.failures.size() && i < kFailuresInBox; ++i) text += "\n" + batch.failures[i];
    if (batch.failures.size() > kFailuresInBox) text += "\n...";
    dialogs.showMessage(MessageKind::Failure, failureText(text));
}

void TagWriter::EXIF1Click(Dialogs& dialogs) {
    std::vector<std::string> lines;
    const PhotoOutcome photo = SetGPS2EXIF(lines);
    // Only a placed photograph can get here from the grid; anything else
    // wrote nothing, so nothing is confirmed.
    if (!photo.attempted) return;
    console_.replaceInfo(lines);
    if (photo.failure) {
        dialogs.showMessage(MessageKind::Failure, failureText("Cannot write the GPS tags of " + *photo.failure));
        return;
    }
    dialogs.showMessage(MessageKind::Plain, "Координаты записаны");
}

}  // namespace geovanta

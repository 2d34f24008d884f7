#include "output/tagwriter.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "binding/travel.h"
#include "output/exiftoolsession.h"
#include "output/photofile.h"
#include "output/splitdms.h"
#include "table/datatable.h"
#include "table/datetime.h"
#include "table/messages.h"
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

// True unless the path is known to be free; a path that cannot be looked at
// counts as taken.
bool mayExist(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::symlink_status(path, ec).type() != std::filesystem::file_type::not_found;
}

// What has the name itself, a link not followed; `none` when it cannot be looked at.
std::filesystem::file_type typeOfName(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::symlink_status(path, ec).type();
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
        notes.push_back(textOf(Msg::RemovedLeftover, {displayFileName(temp)}));
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
    const std::string value = std::isfinite(feet)
                                  ? textOf(Msg::AltitudeMetres, {formatGeneral(static_cast<double>(feet * kMetresPerFoot))})
                                  : textOf(Msg::NotANumber);
    return textOf(Msg::AltitudeLeftOut, {value});
}


// The altitude in `group`'s tags, when the row has one in range. ExifTool
// stores its magnitude; the sign lives in the reference tag. It is written
// for positive values too, so that a photograph once written below sea level
// does not keep reading so. "#=" hands ExifTool the stored number itself.
void addAltitude(std::vector<std::string>& args, const DataTable& table, std::size_t row, const std::string& group) {
    if (table.isNull(row, FieldId::Elev) || !altitudeInRange(table.real(row, FieldId::Elev))) return;
    const std::string metres = metresText(table.real(row, FieldId::Elev));
    args.push_back("-" + group + "GPSAltitude=" + metres);
    args.push_back("-" + group + (metres.front() == '-' ? "GPSAltitudeRef#=1" : "GPSAltitudeRef#=0"));
}

// Place names are one line each: what cannot stand in one becomes a blank.
std::string oneLine(std::string_view name) {
    std::string text(name);
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return text;
}

// Whether every character of UTF-8 `text` lies in Latin-1.
bool latin1(std::string_view text) {
    for (std::size_t k = 0; k < text.size(); ++k) {
        const auto c = static_cast<unsigned char>(text[k]);
        if (c < 0x80) continue;
        if ((c != 0xC2 && c != 0xC3) || k + 1 >= text.size()) return false;
        ++k;
    }
    return true;
}

// The row's names in XMP's location tags (`xmp` "XMP-" for a photograph,
// the same in a sidecar), and in IPTC's where the photograph has IPTC. An
// emptied name is left as the file has it: only names are written.
void addPlaceNames(std::vector<std::string>& args, const DataTable& table, std::size_t row, bool intoPhoto) {
    const PlaceNames* names = table.placeNames(row);
    if (!names) return;
    static constexpr const char* kXmp[kPlaceParts] = {"-XMP-photoshop:City=", "-XMP-photoshop:State=",
                                                      "-XMP-photoshop:Country=", "-XMP-iptcCore:CountryCode="};
    static constexpr const char* kIptc[kPlaceParts] = {"-IPTC:City=", "-IPTC:Province-State=",
                                                       "-IPTC:Country-PrimaryLocationName=",
                                                       "-IPTC:Country-PrimaryLocationCode="};
    const IptcKind iptc = intoPhoto ? table.photoFacts(row).iptc : IptcKind::None;
    for (std::size_t k = 0; k < kPlaceParts; ++k) {
        if (names->text[k].empty()) continue;
        const std::string name = oneLine(names->text[k]);
        args.push_back(kXmp[k] + name);
        if (iptc == IptcKind::Utf8 || (iptc == IptcKind::Legacy && latin1(name))) args.push_back(kIptc[k] + name);
    }
}

// The direction and speed of travel, to two decimals: a hundredth of a
// degree or of a km/h is finer than any track gives them.
void addTravel(std::vector<std::string>& args, const DataTable& table, std::size_t row, const TagContent& content,
               const std::string& group) {
    if (!content.direction) return;
    const std::optional<Travel> travel = travelAt(table, row, content.params);
    if (!travel) return;
    args.push_back("-" + group + "GPSImgDirectionRef=T");
    args.push_back("-" + group + "GPSImgDirection=" + formatFixed(travel->bearingDegrees, 2));
    args.push_back("-" + group + "GPSSpeedRef=K");
    args.push_back("-" + group + "GPSSpeed=" + formatFixed(travel->speedKmh, 2));
}

// Takes out every GPS tag an earlier position left: the whole GPS group of a
// photograph, and in XMP data (a photograph's own, or an XMP file) every
// GPS tag of the "exif" namespace, where XMP keeps them (a direction, a
// speed, a time of an earlier fix). ExifTool does the deletions before the
// tags the same command writes, which then make the record anew.
void eraseGpsRecord(std::vector<std::string>& args, bool photo) {
    if (photo) args.push_back("-GPS:all=");
    args.push_back("-XMP-exif:GPS*=");
}

// The moment the photograph was placed at, on the track's clock, which is
// UTC: "YYYY:MM:DD" and "HH:MM:SS" with its milliseconds when it has any.
struct GpsStamp {
    std::string date, time;
};
std::optional<GpsStamp> gpsStampOf(const DataTable& table, std::size_t row) {
    if (table.isNull(row, FieldId::VTime)) return std::nullopt;
    const CivilDateTime c = msToCivil(table.timeMs(row, FieldId::VTime));
    char date[16], time[24];
    std::snprintf(date, sizeof date, "%04d:%02d:%02d", c.year, c.month, c.day);
    int length = std::snprintf(time, sizeof time, "%02d:%02d:%02d", c.hour, c.minute, c.second);
    if (c.millisecond != 0) {
        length += std::snprintf(time + length, sizeof time - static_cast<std::size_t>(length), ".%03d", c.millisecond);
        while (time[length - 1] == '0') time[--length] = '\0';
    }
    return GpsStamp{date, time};
}

}  // namespace

std::string writtenPath(const TagJob& job) {
    if (job.sidecar.empty()) return job.resolved.empty() ? job.fileName : job.resolved;
    return job.sidecarSeen.resolved.empty() ? job.sidecar : job.sidecarSeen.resolved;
}

std::string writtenFolder(const TagJob& job) {
    if (job.sidecar.empty()) return photoFolder(job.fileName, job.resolved);
    return photoFolder(job.sidecar, job.sidecarSeen.resolved);
}

std::vector<std::string> TagWriter::arguments(const DataTable& table, std::size_t row, const TagContent& content) {
    const DmsParts lat = SplitDMS(table.real(row, FieldId::Lat), "SN", kSecondDecimals);
    const DmsParts lon = SplitDMS(table.real(row, FieldId::Lon), "WE", kSecondDecimals);
    // Every tag is named with its group: ExifTool would also write a tag
    // named alone wherever the file already has it, and half a position
    // would be left in the XMP data it was just taken out of.
    std::vector<std::string> args{"-overwrite_original", "-P", "-v0"};
    eraseGpsRecord(args, true);
    args.insert(args.end(), {
        "-GPS:GPSLatitudeRef=" + lat.letter,
        "-GPS:GPSLatitude=dd/" + lat.degrees + ",mm/" + lat.minutes + ",ss/" + lat.seconds,
        "-GPS:GPSLongitudeRef=" + lon.letter,
        "-GPS:GPSLongitude=dd/" + lon.degrees + ",mm/" + lon.minutes + ",ss/" + lon.seconds,
    });
    // No altitude on the track, or one beyond any real height (job() says
    // so): none is written, and none of an earlier position stays.
    addAltitude(args, table, row, "GPS:");
    addTravel(args, table, row, content, "GPS:");
    if (content.placeNames) addPlaceNames(args, table, row, true);
    if (const auto stamp = gpsStampOf(table, row)) {
        args.push_back("-GPS:GPSDateStamp=" + stamp->date);
        args.push_back("-GPS:GPSTimeStamp=" + stamp->time);
    }
    args.push_back(fileArgument(table.text(row, FieldId::FileName)));
    return args;
}

std::vector<std::string> TagWriter::sidecarArguments(const DataTable& table, std::size_t row,
                                                     const std::string& sidecar, const TagContent& content) {
    const DmsParts lat = SplitDMS(table.real(row, FieldId::Lat), "SN", kSecondDecimals);
    const DmsParts lon = SplitDMS(table.real(row, FieldId::Lon), "WE", kSecondDecimals);
    // XMP keeps the hemisphere inside the coordinate. No "-P": a raw
    // developer notices a changed XMP file by its modification time. A file
    // that is not there yet ExifTool makes from nothing.
    std::vector<std::string> args{"-overwrite_original", "-v0"};
    eraseGpsRecord(args, false);
    args.insert(args.end(), {
        "-XMP-exif:GPSLatitude=" + lat.degrees + " " + lat.minutes + " " + lat.seconds + " " + lat.letter,
        "-XMP-exif:GPSLongitude=" + lon.degrees + " " + lon.minutes + " " + lon.seconds + " " + lon.letter,
    });
    addAltitude(args, table, row, "XMP-exif:");
    addTravel(args, table, row, content, "XMP-exif:");
    if (content.placeNames) addPlaceNames(args, table, row, false);
    if (const auto stamp = gpsStampOf(table, row))
        args.push_back("-XMP-exif:GPSDateTime=" + stamp->date + " " + stamp->time + "Z");
    args.push_back(fileArgument(sidecar));
    return args;
}

std::vector<std::string> TagWriter::clearArguments(const std::string& file, bool photo) {
    std::vector<std::string> args{"-overwrite_original", "-v0"};
    if (photo) args.insert(args.begin() + 1, "-P");
    eraseGpsRecord(args, photo);
    args.push_back(fileArgument(file));
    return args;
}

namespace {

// What every job of a row starts from. The name is made absolute here, on
// the table's thread, so that every line about the photograph names it alike
// whatever folder the write runs in.
TagJob jobOf(const DataTable& table, std::size_t row) {
    TagJob job;
    job.row = row;
    job.fileName = std::string(table.text(row, FieldId::FileName));
    std::error_code ec;
    if (!job.fileName.empty()) {
        const std::filesystem::path absolute = std::filesystem::absolute(job.fileName, ec);
        if (!ec) job.fileName = absolute.string();
    }
    if (const FileStamp* stamp = table.fileStamp(row)) job.stamp = *stamp;
    return job;
}

}  // namespace

TagJob TagWriter::clearJob(const DataTable& table, std::size_t row, Sidecars sidecars) {
    TagJob job = jobOf(table, row);
    job.clear = true;
    if (sidecars != Sidecars::None) job.sidecar = sidecarName(job.fileName, sidecars);
    job.args = clearArguments(job.sidecar.empty() ? job.fileName : job.sidecar, job.sidecar.empty());
    if (!ExifToolSession::argumentLine(job.args.back())) job.refusal = textOf(Msg::UnsayableName);
    return job;
}

TagJob TagWriter::job(const DataTable& table, std::size_t row, Sidecars sidecars, const TagContent& content) {
    TagJob job = jobOf(table, row);
    job.lat = table.real(row, FieldId::Lat);
    job.lon = table.real(row, FieldId::Lon);
    if (!positionInRange(table.real(row, FieldId::Lat), table.real(row, FieldId::Lon))) {
        job.refusal = textOf(Msg::PositionOutOfRange);
        return job;
    }
    if (sidecars == Sidecars::None) {
        job.args = arguments(table, row, content);
        job.args.back() = fileArgument(job.fileName);
    } else {
        job.sidecar = sidecarName(job.fileName, sidecars);
        job.args = sidecarArguments(table, row, job.sidecar, content);
    }
    const double feet = table.real(row, FieldId::Elev);
    if (!table.isNull(row, FieldId::Elev) && !altitudeInRange(feet))
        job.notes.push_back(failureLine(job.fileName, altitudeLeftOut(feet)));
    if (!ExifToolSession::argumentLine(job.args.back())) job.refusal = textOf(Msg::UnsayableName);
    return job;
}

void TagWriter::addZone(TagJob& job, const DataTable& table, std::size_t row) {
    const LocalZone* zone = table.localZone(row);
    if (job.refusal || !job.sidecar.empty() || job.args.empty() || !zone || zone->status != LocalZone::Status::Found)
        return;
    const int32_t seconds = zone->offsetSeconds;
    const int32_t minutes = (seconds < 0 ? -seconds : seconds) / 60;
    // Offsets are within a day: two digits of hours are always enough.
    if (minutes >= 24 * 60) return;
    char offset[8];
    std::snprintf(offset, sizeof offset, "%c%02d:%02d", seconds < 0 ? '-' : '+', minutes / 60, minutes % 60);
    // "-OffsetTime-=" first: ExifTool then writes OffsetTime only where it is missing.
    const std::string value(offset);
    job.args.insert(job.args.end() - 1,
                    {"-OffsetTimeOriginal=" + value, "-OffsetTime-=", "-OffsetTime=" + value});
}

void TagWriter::look(TagJob& job) {
    job.resolved = resolvedPhotoPath(job.fileName);
    if (!job.sidecar.empty()) job.sidecarSeen = seeSidecar(job.sidecar);
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
    return refusedAs(job.fileName, reason);
}

TagWriter::Result TagWriter::refusedAs(std::string_view name, const std::string& reason) {
    Result result;
    result.reason = reason;
    result.failure = failureLine(name, result.reason);
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
    // A position is only ever written for the photograph it was worked out
    // for, whether into the photograph or beside it.
    const bool intoPhoto = job.sidecar.empty();
    const PhotoFile photo = checkPhotoFile(job.fileName, job.resolved, job.stamp ? &*job.stamp : nullptr, intoPhoto);
    if (photo.refusal) return refused(job, *photo.refusal);
    std::string target = photo.target;
    const std::string& name = intoPhoto ? job.fileName : job.sidecar;  // as failures name it
    bool newSidecar = false;
    if (!intoPhoto) {
        const SidecarFile sidecar = checkSidecarFile(job.sidecar, job.sidecarSeen, job.stamp);
        if (sidecar.refusal) return refusedAs(name, *sidecar.refusal);
        target = sidecar.target;
        newSidecar = sidecar.isNew;
        // No XMP file, no position in it to take out: none is made for that.
        if (newSidecar && job.clear) return Result{};
    }
    std::vector<std::string> args = job.args;
    args.back() = fileArgument(target);
    if (!ExifToolSession::argumentLine(args.back())) return refusedAs(name, textOf(Msg::UnsayableName));
    // ExifTool makes its temporary file through whatever has that name: a
    // link there would take the new file out of the folder, and the rename
    // after it would put the link in the file's place.
    const std::filesystem::path temp(target + kExifToolTempSuffix);
    if (const auto type = typeOfName(temp);
        type != std::filesystem::file_type::not_found && type != std::filesystem::file_type::regular)
        return refusedAs(name, textOf(Msg::TempNameNotAFile, {displayFileName(temp.string())}));
    std::optional<FileStamp> made;
    if (newSidecar) {
        std::string error;
        made = createSidecarFile(target, error);
        if (!made) return refusedAs(name, error);
    }
    Result result;
    result.ran = true;
    if (job.folderLocked) removeLeftover(target, result.notes);
    // Without the folder's lock a temporary file found before may belong to
    // another program writing the photograph right now. What ExifTool leaves
    // behind when it fails is removed only when it can be nobody else's: it
    // was not there before, and ExifTool did not find it there either.
    const bool tempBefore = mayExist(temp);
    const std::optional<FileStamp> before = nameStampOf(target);
    CommandResult run = session.execute(args, limits);
    if (!run.succeeded() && !tempBefore && !mentions(run.errorLines, "Temporary file already exists")) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
    }
    if (made && !run.succeeded()) removeUnwrittenSidecar(target, *made);
    result.outcome = run.outcome;
    // The reason quotes the last line of standard error, so it is taken first.
    if (!run.succeeded()) {
        result.reason = run.failureReason(program());
    } else if (typeOfName(target) != std::filesystem::file_type::regular) {
        // A link put in the way meanwhile took ExifTool's file elsewhere.
        result.reason = textOf(Msg::ReplacedWhileWritten);
    } else {
        // The photograph's new stamp; one only read keeps its own. ExifTool
        // leaves a file it had nothing to change in as it was.
        if (intoPhoto) result.written = fileStampOf(target);
        result.changed = nameStampOf(target) != before;
        result.notes.insert(result.notes.end(), job.notes.begin(), job.notes.end());
    }
    if (!result.reason.empty()) result.failure = failureLine(name, result.reason);
    result.outputLines = std::move(run.outputLines);
    result.errorLines = std::move(run.errorLines);
    if (result.failure) result.errorLines.push_back(*result.failure);
    return result;
}

}  // namespace geovanta

#include "app/clioptions.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <iterator>
#include <system_error>
#include <utility>

#include "app/cameraclocks.h"
#include "app/commands/handplacementcommands.h"
#include "input/fileformats.h"
#include "input/photoscanner.h"
#include "table/asciicase.h"
#include "table/filestamp.h"
#include "table/numbertext.h"

namespace geovanta {

std::string CliOptions::usage() {
    return "Usage: geovanta-cli [OPTION]... [INPUT]...\n"
           "Loads GPS files and photo folders in the order given, places the photographs on\n"
           "the track and prints the table as CSV.\n"
           "\n"
           "GPS files (a file's extension names its format; any of them may also come\n"
           "gzip-compressed, with \".gz\" after the extension):\n" +
           formatListText(FormatKind::Track) +
           "Photographs in a folder:\n" + formatListText(FormatKind::Photos) +
           "\n"
           "  --track-photos DIR     a track from the photographs in DIR (with --recursive, its\n"
           "                         subfolders too) that carry GPS tags: one point each, at\n"
           "                         its GPS time stamp (UTC), else at its shooting time with\n"
           "                         the photo offset; loaded before the inputs, and not\n"
           "                         placed themselves (repeatable)\n"
           "  --track-offset DAYS    added to the times of track points and waypoints (default 0)\n"
           "  --photo-offset DAYS    added to the times of photographs (default 0)\n"
           "  --tolerance SECONDS    largest distance in time to a track point, exclusive (default 300)\n"
           "  --csv FILE             write the table to FILE instead of standard output\n"
           "  --write-tags           after loading, write each placed photograph's position into\n"
           "                         its GPS tags with the exiftool beside this program\n"
           "  --exiftool-timeout SECONDS\n"
           "                         longest wait for exiftool's answer about one photograph\n"
           "                         (default 60); past it exiftool is ended and the photograph\n"
           "                         reported, and after two such waits in a row the rest\n"
           "                         are not tried; an exiftool that ends by itself is started\n"
           "                         again, five times at most without a photograph written\n"
           "  --max-accuracy METRES  leave out the fixes of location histories whose reported\n"
           "                         accuracy is worse than METRES (default 100)\n"
           "  --recursive            read photo folders with the folders inside them, in path\n"
           "                         order; folders whose names start with \".\" are passed over,\n"
           "                         links to folders outside are named and not followed\n"
           "  --place NAME=LAT,LON   place the photograph NAME (as the table names it, or its\n"
           "                         file's name or path) at LAT,LON in degrees by hand, after\n"
           "                         loading; the pass leaves it there (repeatable)\n"
           "  --photo-zones          bring a photograph's time to UTC by the time zone its camera\n"
           "                         recorded (OffsetTimeOriginal, else OffsetTime) before the\n"
           "                         photo offset is added; photographs without one take the\n"
           "                         photo offset alone\n"
           "  --camera-offset CAMERA=DAYS\n"
           "                         added to the times of the photographs of the camera CAMERA\n"
           "                         in place of the photo offset; CAMERA is its model, its make\n"
           "                         and model, or its serial number, in any case (repeatable)\n"
           "  --local-time[=CAMERA]  the camera's clock shows the local time where each photograph\n"
           "                         was taken: each is brought to UTC by the time zone the track\n"
           "                         puts it in, and left unplaced when no zone is consistent;\n"
           "                         without CAMERA every photograph's clock (repeatable); a\n"
           "                         zone the photograph recorded wins\n"
           "  --write-zones          with --write-tags: also write the time zone found for a\n"
           "                         camera on local time into OffsetTimeOriginal, and into\n"
           "                         OffsetTime where the photograph has none\n"
           "  --sidecar[=full]       with --write-tags: write each position into an XMP file\n"
           "                         beside the photograph (IMG_0001.CR3 -> IMG_0001.xmp, with\n"
           "                         =full IMG_0001.CR3.xmp), created or updated keeping its\n"
           "                         other tags; the photograph itself is left as it is. With\n"
           "                         =raw only raw files (CR3, NEF, DNG, RAF...) get an XMP\n"
           "                         file, the others are written themselves. A raw file and a\n"
           "                         JPEG sharing one XMP file are written to it only when\n"
           "                         their positions agree within 1 m\n"
           "  --keep-existing        with --write-tags: leave a photograph that already carries\n"
           "                         a GPS position as it is, and name it\n"
           "  --clear-unplaced       with --write-tags: take the GPS tags out of every photograph\n"
           "                         that is not placed (and out of its XMP file, where there is\n"
           "                         one); nothing else in it is changed\n"
           "  --places               name each placed photograph's town, region and country (in\n"
           "                         English, from the data sets beside the program, offline):\n"
           "                         the CSV's last columns City, State, Country, CountryCode,\n"
           "                         and with --write-tags XMP's (and IPTC's, where the photograph\n"
           "                         has IPTC) location tags\n"
           "  --place-max-km KM      with --places: the town lies within KM (default 25)\n"
           "  --privacy LAT,LON,RADIUS_M\n"
           "                         leave unplaced every photograph that would lie within\n"
           "                         RADIUS_M metres of LAT,LON: no position, no tags (repeatable)\n"
           "  --direction            with --write-tags: also the direction of travel (not of the\n"
           "                         lens) and the speed, from the track while moving faster\n"
           "                         than 1 m/s\n"
           "  --help                 show this text\n"
           "\n"
           "Times are in days: one hour is 0.0416666666666667. No settings file is read.\n"
           "When a photo folder was loaded, standard error gets a summary of the placement\n"
           "and the reason why each unplaced photograph was not placed.\n"
           "Exit status: 0 on success, 1 on any error (a photograph that cannot be read is\n"
           "named and left out, the others are loaded; with --write-tags: also when any\n"
           "photograph could not be written; the others are written all the same).\n";
}

namespace {

namespace fs = std::filesystem;

// Device and inode decide, so that any spelling of a file (relative, "./",
// a symbolic or a hard link) is found; a file that does not exist yet is
// no input.
bool sameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

fs::path folderOf(const fs::path& file) { return file.has_parent_path() ? file.parent_path() : fs::path("."); }

// The file the CSV would replace, told by device and inode while it is
// there. An XMP file is told by its name where the CSV file has no other:
// so it is known while it is not there yet (a write of this run may make
// it), and no photograph needs more than one look.
class CsvTarget {
public:
    explicit CsvTarget(const std::string& path) : path_(path), stamp_(fileStampOf(path)) {
        std::error_code ec;
        real_ = stamp_ ? fs::canonical(path_, ec) : fs::canonical(folderOf(path_), ec) / path_.filename();
        if (ec) real_ = path_;
        names_ = stamp_ ? fs::hard_link_count(real_, ec) : 0;
    }

    bool there() const { return stamp_.has_value(); }
    bool is(const fs::path& file) const {
        if (!stamp_) return false;
        if (stamp_->inode == 0) return sameFile(path_, file);  // no inode to be had here
        const std::optional<FileStamp> other = fileStampOf(file.string());
        return other && other->sameFileAs(*stamp_);
    }
    bool isNamed(const fs::path& file) const {
        if (stamp_ && names_ != 1) return is(file);
        return file.filename() == real_.filename() && sameFile(folderOf(file), folderOf(real_));
    }

private:
    fs::path path_;
    fs::path real_;  // with every link on the way followed
    std::optional<FileStamp> stamp_;
    std::uintmax_t names_ = 0;
};

// Every name an XMP file beside the photograph may have: as the tag writer
// names it, or another program.
std::array<fs::path, 4> xmpNamesOf(const std::string& photo) {
    fs::path base(photo), upper(photo);
    base.replace_extension(".xmp");
    upper.replace_extension(".XMP");
    return {base, upper, fs::path(photo + ".xmp"), fs::path(photo + ".XMP")};
}

std::string overwritten(const std::string& csvFile, const std::string& what, const std::string& name) {
    return "the CSV file '" + csvFile + "' is " + what + " '" + name + "': it would be overwritten";
}

// "CAMERA=DAYS"; the camera's name may itself hold "=", the number cannot.
std::optional<std::string> parseCameraOffset(const std::string& value, CliOptions::CameraOffset& out) {
    const std::size_t eq = value.rfind('=');
    if (eq == std::string::npos || eq == 0) return "'--camera-offset " + value + "' is not CAMERA=DAYS";
    out.camera = value.substr(0, eq);
    const auto days = parseNumber(value.substr(eq + 1));
    if (!days || !std::isfinite(*days) || std::fabs(*days) > kMaxCameraOffsetDays)
        return "'" + value.substr(eq + 1) + "' given for the camera '" + out.camera +
               "' is not a number of days from -36525 to 36525";
    out.days = *days;
    return std::nullopt;
}

// "NAME=LAT,LON"; the name may itself hold "=", the numbers cannot.
std::optional<std::string> parsePlace(const std::string& value, CliOptions::HandPlace& out) {
    const std::size_t eq = value.rfind('=');
    if (eq == std::string::npos || eq == 0) return "'--place " + value + "' is not NAME=LAT,LON";
    out.name = value.substr(0, eq);
    const std::string position = value.substr(eq + 1);
    const std::size_t comma = position.find(',');
    const auto lat = comma == std::string::npos ? std::nullopt : parseNumber(position.substr(0, comma));
    const auto lon = comma == std::string::npos ? std::nullopt : parseNumber(position.substr(comma + 1));
    if (!lat || !lon || !HandPlacementCommands::validPosition(*lat, *lon))
        return "'" + position + "' given to place '" + out.name +
               "' is not a latitude (-90 to 90) and a longitude (-180 to 180) in degrees";
    out.lat = *lat;
    out.lon = *lon;
    return std::nullopt;
}

}  // namespace

std::optional<std::string> CliOptions::csvOverwritesInput() const {
    if (csvFile.empty()) return std::nullopt;
    const CsvTarget csv(csvFile);
    if (!csv.there() && !equalsIgnoringAsciiCase(fs::path(csvFile).extension().string(), ".xmp")) return std::nullopt;
    std::vector<std::string> read = trackPhotos;
    read.insert(read.end(), inputs.begin(), inputs.end());
    for (const std::string& input : read) {
        if (csv.is(input)) return overwritten(csvFile, "the input", input);
        std::error_code ec;
        if (!fs::is_directory(input, ec)) continue;
        // The photographs of a folder being scanned are inputs as well, as
        // the scan lists them; an XMP file beside one may be written.
        const FolderListing listing =
            listPhotos(normalisedFolderPath(input), recursive ? SubFolders::Include : SubFolders::Skip);
        for (const ListedPhoto& photo : listing.photos) {
            if (csv.is(photo.fileName)) return overwritten(csvFile, "the photograph", photo.fileName);
            for (const fs::path& xmp : xmpNamesOf(photo.fileName))
                if (csv.isNamed(xmp)) return overwritten(csvFile, "the XMP file", xmp.string());
        }
    }
    return std::nullopt;
}

std::optional<std::string> CliOptions::parse(const std::vector<std::string>& args, CliOptions& out) {
    bool onlyInputs = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string arg = args[i];
        if (onlyInputs || arg.empty() || arg[0] != '-' || arg == "-") {
            out.inputs.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyInputs = true;
            continue;
        }
        std::optional<std::string> inlineValue;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            inlineValue = arg.substr(eq + 1);
            arg.resize(eq);
        }
        if (arg == "--help" || arg == "-h") {
            out.help = true;
            continue;
        }
        if (arg == "--places" || arg == "--direction") {
            if (inlineValue) return "option '" + arg + "' takes no value";
            (arg == "--places" ? out.placeNames : out.direction) = true;
            continue;
        }
        static const std::pair<const char*, bool CliOptions::*> kSwitches[] = {
            {"--write-tags", &CliOptions::writeTags},       {"--recursive", &CliOptions::recursive},
            {"--photo-zones", &CliOptions::photoZones},     {"--keep-existing", &CliOptions::keepExisting},
            {"--clear-unplaced", &CliOptions::clearUnplaced}, {"--write-zones", &CliOptions::writeZones},
        };
        if (const auto it = std::find_if(std::begin(kSwitches), std::end(kSwitches),
                                         [&](const auto& s) { return arg == s.first; });
            it != std::end(kSwitches)) {
            if (inlineValue) return "option '" + arg + "' takes no value";
            out.*(it->second) = true;
            continue;
        }
        if (arg == "--local-time") {
            if (!inlineValue) {
                out.allLocalTime = true;
            } else {
                if (inlineValue->empty()) return "option '--local-time=' needs a camera";
                out.localTimeCameras.push_back(*inlineValue);
            }
            continue;
        }
        if (arg == "--sidecar") {
            if (inlineValue && *inlineValue != "full" && *inlineValue != "base" && *inlineValue != "raw")
                return "option '--sidecar' takes 'full', 'base' or 'raw', not '" + *inlineValue + "'";
            out.sidecars = true;
            out.sidecarFullName = inlineValue == "full";
            out.sidecarRawOnly = inlineValue == "raw";
            continue;
        }
        const bool takesValue =
            arg == "--track-offset" || arg == "--photo-offset" || arg == "--tolerance" || arg == "--csv" ||
            arg == "--exiftool-timeout" || arg == "--place" || arg == "--max-accuracy" || arg == "--track-photos" ||
            arg == "--privacy" || arg == "--place-max-km" ||
            arg == "--camera-offset";
        if (!takesValue) return "unknown option '" + args[i] + "'";
        std::string value;
        if (inlineValue) {
            value = *inlineValue;
        } else {
            if (i + 1 >= args.size()) return "option '" + arg + "' needs a value";
            value = args[++i];
        }
        if (arg == "--camera-offset") {
            CliOptions::CameraOffset offset;
            if (auto error = parseCameraOffset(value, offset)) return error;
            out.cameraOffsets.push_back(std::move(offset));
        } else if (arg == "--place") {
            CliOptions::HandPlace place;
            if (auto error = parsePlace(value, place)) return error;
            out.places.push_back(std::move(place));
        } else if (arg == "--track-photos") {
            if (value.empty()) return "option '--track-photos' needs a folder";
            out.trackPhotos.push_back(value);
        } else if (arg == "--privacy") {
            const auto zone = parseZone(value);
            // A name given after the radius is the person's own: kept.
            if (!zone) return "'" + value + "' is not LAT,LON,RADIUS_M: a latitude (-90 to 90), a longitude "
                               "(-180 to 180) and a radius in metres above 0 up to 1000000";
            out.privacyZones.push_back(*zone);
        } else if (arg == "--place-max-km") {
            const auto v = parseNumber(value);
            if (!v || *v <= 0 || *v > 1000) return "'" + value + "' is not a number of kilometres above 0 up to 1000";
            out.placeMaxKm = *v;
        } else if (arg == "--csv") {
            if (value.empty()) return "option '--csv' needs a file name";
            out.csvFile = value;
        } else if (arg == "--exiftool-timeout") {
            const auto v = parseInteger(value);
            if (!v || *v < 1) return "'" + value + "' is not a whole number of seconds from 1 up";
            out.exifToolTimeout = *v;
        } else if (arg == "--max-accuracy") {
            const auto v = parseNumber(value);
            if (!v || *v <= 0 || *v > 1e7) return "'" + value + "' is not a number of metres above 0 up to 10000000";
            out.maxAccuracyM = *v;
        } else if (arg == "--tolerance") {
            const auto v = parseInteger(value);
            if (!v) return "'" + value + "' is not a whole number of seconds";
            if (*v < 0) return "the tolerance cannot be below 0 seconds ('" + value + "')";
            out.tolerance = *v;
        } else {
            const auto v = parseNumber(value);
            if (!v) return "'" + value + "' is not a number of days";
            (arg == "--track-offset" ? out.trackOffset : out.photoOffset) = *v;
        }
    }
    if (!out.writeTags && !out.help) {
        if (out.sidecars) return "option '--sidecar' needs '--write-tags'";
        if (out.keepExisting) return "option '--keep-existing' needs '--write-tags'";
        if (out.clearUnplaced) return "option '--clear-unplaced' needs '--write-tags'";
    }
    if (out.direction && !out.writeTags && !out.help) return "option '--direction' needs '--write-tags'";
    return std::nullopt;
}

}  // namespace geovanta

// geovanta-cli: the program's load and binding pipeline without a screen.
#include <chrono>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "app/cameraclocks.h"
#include "app/clioptions.h"
#include "app/commands/handplacementcommands.h"
#include "app/commands/tagcommands.h"
#include "app/tagwrite.h"
#include "app/document.h"
#include "app/gpsfilejob.h"
#include "app/inlinejobrunner.h"
#include "app/passjob.h"
#include "app/photofolderjob.h"
#include "app/placementtexts.h"
#include "app/placenamesetup.h"
#include "app/programpaths.h"
#include "app/programstate.h"
#include "app/signalwatch.h"
#include "binding/placement.h"
#include "input/loadresult.h"
#include "input/photoscanner.h"
#include "input/phototrack.h"
#include "input/wholefile.h"
#include "output/csvwriter.h"
#include "output/exiftoolsession.h"
#include "output/filereplacement.h"
#include "app/streamconsole.h"
#include "output/tagwriter.h"
#if GEOVANTA_HAVE_QTCORE
#include "runtime/keptprocess.h"
#endif
#include "table/datatable.h"
#include "table/messages.h"
#include "table/textcodec.h"

namespace fs = std::filesystem;
using namespace geovanta;

namespace {

// What the loads left behind for standard error.
struct LoadReport {
    bool photoFolders = false;
    std::vector<LeftOutFile> leftOut;
};

void note(const std::string& message) { std::cerr << "geovanta-cli: " << message << '\n'; }

int fail(const std::string& message) {
    note(message);
    return 1;
}

// Loads one file or folder into the document, as the window's load commands
// do (a file or folder given twice is read once, the second time replacing
// the first).
LoadResult loadInput(Document& document, JobRunner& jobs, const std::string& input, LoadReport& report) {
    std::error_code ec;
    LoadResult result;
    if (fs::is_directory(fs::path(input), ec)) {
        document.state().photoFolder = input;
        report.photoFolders = true;
        jobs.submit(std::make_unique<PhotoFolderJob>(input, [&](Document&, const PhotoFolderJob::Outcome& done) {
            if (done.merge.gone > 0) note(textOf(Msg::PhotosGone, {done.merge.gone, displayFileName(input)}));
            // A photograph that cannot be read is named at the end; the others load.
            for (const LeftOutFile& f : done.scan.leftOut) report.leftOut.push_back(f);
            if (done.scan.leftOut.empty()) result = done.scan;
        }));
        return result;
    }
    const FileFormat* format = gpsFormatOf(input);
    if (!format) return LoadResult::failed("'" + input + "' is neither a GPS file of a known format nor a folder");
    jobs.submit(std::make_unique<GpsFileJob>(input, *format, [&](Document&, const GpsFileJob::Outcome& done) {
        for (const std::string& line : done.notes()) note(line);
        result = done.result;
    }));
    return result;
}

// A track from the photographs of `folder` that carry GPS tags.
LoadResult loadTrackPhotos(JobRunner& jobs, const std::string& folder) {
    LoadResult result;
    jobs.submit(std::make_unique<GpsFileJob>(folder, photoTrackFormat(), [&](Document&, const GpsFileJob::Outcome& done) {
        for (const std::string& line : done.notes()) note(line);
        result = done.result;
    }));
    return result;
}

// After the table: the files left out, then, when photographs were loaded,
// the summary and one line per photograph that was not placed.
void reportPlacements(const DataTable& table, const ProgramState& state, const LoadReport& report) {
    for (const LeftOutFile& f : report.leftOut) note(f.line());
    if (!report.photoFolders) return;
    std::vector<PhotoPlacement> each;
    const PlacementSummary summary = summarisePlacements(table, bindingParams(state), &each);
    note(summaryLine(summary, bindingParams(state)));
    for (const PhotoPlacement& p : each)
        if (p.placement.kind != PlacementKind::Placed && p.placement.kind != PlacementKind::ByHand)
            note(displayFileName(table.text(p.row, FieldId::FileName)) + ": " + placementLine(p.placement, state.tolerance));
}

// Gives the cameras the command line names, among those of the photographs
// loaded, their clocks, and places the photographs again by them; the error
// for a name that means no camera.
std::optional<std::string> setCameraClocks(Document& document, JobRunner& jobs, const CliOptions& options) {
    if (options.cameraOffsets.empty() && options.localTimeCameras.empty()) return std::nullopt;
    const std::vector<LoadedCamera> loaded = camerasIn(document.table());
    std::vector<CameraClock>& clocks = document.state().cameras;
    const auto set = [&](const std::string& name, const auto& change) -> std::optional<std::string> {
        bool found = false;
        for (const LoadedCamera& c : loaded) {
            if (!cameraNamed(c.camera, name)) continue;
            const CameraClock* kept = findClock(clocks, c.camera);
            CameraClock clock = kept ? *kept : CameraClock{c.camera, std::nullopt, false};
            change(clock);
            keepClock(clocks, clock);
            found = true;
        }
        if (found) return std::nullopt;
        return "no camera named '" + name + "' took any of the photographs loaded";
    };
    for (const CliOptions::CameraOffset& o : options.cameraOffsets)
        if (auto error = set(o.camera, [&](CameraClock& c) { c.offset = o.days; })) return error;
    for (const std::string& name : options.localTimeCameras)
        if (auto error = set(name, [](CameraClock& c) { c.localTime = true; })) return error;
    jobs.submit(std::make_unique<PassJob>());
    return std::nullopt;
}

// Places by hand the photographs --place names, once everything is loaded;
// the error for a name that means no photograph, or more than one.
std::optional<std::string> placeByHand(Document& document, JobRunner& jobs, const CliOptions& options) {
    HandPlacementCommands commands(document, jobs);
    for (const CliOptions::HandPlace& p : options.places) {
        const std::vector<std::size_t> rows = HandPlacementCommands::photosNamed(document.table(), p.name);
        if (rows.empty()) return "no photograph named '" + p.name + "' to place";
        if (rows.size() > 1)
            return "'" + p.name + "' names " + std::to_string(rows.size()) + " photographs; give the file's path";
        commands.place(rows, p.lat, p.lon);
    }
    return std::nullopt;
}

// Writes the placed photographs' GPS tags; false when any of them was not
// written. A stop signal lets the photographs being written finish within a
// short grace, ends ExifTool after it, and starts no other.
bool writeTags(Document& document, SignalWatch& stopSignals) {
#if GEOVANTA_HAVE_QTCORE
    StreamConsole console(std::cerr, "geovanta-cli: ");
    // Before anything is looked at: a stop during the checks writes nothing.
    stopSignals.setHandler([&console](int) { console.requestAbort(); });
    const TagWrite::Settings settings = writeSettings(document.state());
    const auto sessions = std::make_shared<ExifToolSessions>(defaultExifToolPath(), KeptProcess::maker());
    const std::optional<TagWrite::Outcome> batch =
        TagWrite::writeInline(document, console, sessions, TagWrite::Scope::All, settings);
    stopSignals.setHandler({});
    if (!batch) return true;
    note(batch->summary());
    for (const std::string& failure : batch->failures) note(failure);
    for (const std::string& untried : batch->untried) note(untried);
    for (const std::string& kept : batch->keptLines) note(kept);
    return batch->allWritten();
#else
    (void)document;
    (void)stopSignals;
    return fail("this build cannot run exiftool") == 0;
#endif
}

// The table into a file that is replaced whole or left as it was; a signal
// meanwhile removes the unfinished copy.
int writeCsvFile(const DataTable& table, const std::string& path, bool placeNames, SignalWatch& stopSignals) {
    FileReplacement file(path);
    if (file.error()) return fail(*file.error());
    const std::string temp = file.tempPath();
    stopSignals.setHandler([temp](int signal) {
        if (!temp.empty()) std::remove(temp.c_str());
        std::_Exit(128 + signal);
    });
    CsvWriter::write(table, file.stream(), placeNames);
    const bool written = file.commit();
    stopSignals.setHandler({});
    return written ? 0 : fail(*file.error());
}

}  // namespace

int main(int argc, char** argv) {
    // Before any other thread: they all inherit the blocked signals.
    SignalWatch stopSignals;
    // Whatever the locale: scripts read this tool's lines.
    setLanguage(Language::English);
#ifdef SIGXFSZ
    // Past a file size limit a write fails and says so, instead of the
    // program dying with half a file behind it.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    const std::vector<std::string> args(argv + 1, argv + argc);
    CliOptions options;
    if (const auto error = CliOptions::parse(args, options))
        return fail(*error + "\nTry 'geovanta-cli --help' for more information.");
    if (options.help) {
        std::cout << CliOptions::usage();
        return 0;
    }
    for (const std::string& input : options.inputs) {
        std::error_code ec;
        if (!fs::exists(input, ec)) return fail("cannot find '" + input + "'");
    }
    for (const std::string& folder : options.trackPhotos) {
        std::error_code ec;
        if (!fs::is_directory(folder, ec)) return fail("'" + folder + "' given to --track-photos is no folder");
    }
    if (const auto error = options.csvOverwritesInput()) return fail(*error);

    ProgramState state;
    state.trackOffset = options.trackOffset;
    state.photoOffset = options.photoOffset;
    state.tolerance = options.tolerance;
    state.photoSubfolders = options.recursive;
    state.photoZones = options.photoZones;
    state.allLocalTime = options.allLocalTime;
    state.zones = programZoneData();
    state.maxAccuracyM = options.maxAccuracyM;
    state.placeNames = options.placeNames;
    state.placeMaxKm = options.placeMaxKm;
    state.privacyZones = options.privacyZones;
    state.travelDirection = options.direction;
    // The write's choices, as the window keeps them in the settings.
    state.exifToolTimeout = options.exifToolTimeout;
    if (options.sidecars) state.writeTarget = options.sidecarRawOnly ? WriteTarget::RawSidecars : WriteTarget::Sidecars;
    state.sidecarFullName = options.sidecarFullName;
    state.keepExisting = options.keepExisting;
    state.clearUnplaced = options.clearUnplaced;
    state.writeZones = options.writeZones;
    if (const auto error = followPlaceNames(state)) return fail(*error);
    // No settings file: everything comes from the command line.
    Document document(state, SettingsFile(std::string()));
    InlineJobRunner jobs(document);
    const DataTable& table = document.table();
    LoadReport report;
    for (const std::string& folder : options.trackPhotos) {
        LoadResult result;
        try {
            result = loadTrackPhotos(jobs, folder);
        } catch (const std::bad_alloc&) {
            result = LoadResult::failed(outOfMemoryMessage(folder));
        }
        if (!result.ok()) return fail(result.message);
    }
    for (const std::string& input : options.inputs) {
        LoadResult result;
        try {
            result = loadInput(document, jobs, input, report);
        } catch (const std::bad_alloc&) {
            result = LoadResult::failed(outOfMemoryMessage(input));
        }
        if (!result.ok()) return fail(result.message);
    }
    if (const auto error = setCameraClocks(document, jobs, options)) return fail(*error);
    if (const auto error = placeByHand(document, jobs, options)) return fail(*error);
    // The table is printed even when some photographs failed; the exit status tells.
    int status = options.writeTags && !writeTags(document, stopSignals) ? 1 : 0;
    // Asked to stop: the summary is out, the table is not wanted.
    if (const int signal = stopSignals.received()) return 128 + signal;
    if (!report.leftOut.empty()) status = 1;

    if (options.csvFile.empty()) {
        CsvWriter::write(table, std::cout, options.placeNames);
        std::cout.flush();
        if (!std::cout) return fail("cannot write to standard output");
    } else if (writeCsvFile(table, options.csvFile, options.placeNames, stopSignals) != 0) {
        return 1;
    }
    reportPlacements(table, document.state(), report);
    return status;
}

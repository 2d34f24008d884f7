// geovanta-cli: the program's load and binding pipeline without a screen.
#include <chrono>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "app/clioptions.h"
#include "app/commands/tagcommands.h"
#include "app/commands/trackloadcommand.h"
#include "app/placementtexts.h"
#include "app/programpaths.h"
#include "app/programstate.h"
#include "app/signalwatch.h"
#include "binding/placement.h"
#include "input/loadresult.h"
#include "input/photoscanner.h"
#include "input/wholefile.h"
#include "output/csvwriter.h"
#include "output/exiftoolsession.h"
#include "output/filereplacement.h"
#include "output/streamconsole.h"
#include "output/tagwriter.h"
#if GEOVANTA_HAVE_QTCORE
#include "runtime/keptprocess.h"
#endif
#include "table/datatable.h"
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

LoadResult loadInput(DataTable& table, ProgramState& state, const std::string& input, LoadReport& report) {
    std::error_code ec;
    const fs::path path(input);
    if (fs::is_directory(path, ec)) {
        state.photoFolder = input;
        report.photoFolders = true;
        // A photograph that cannot be read is named at the end; the others load.
        PhotoScanResult scan = LoadFotos(table, state.photoFolder, bindingParams(state));
        for (LeftOutFile& f : scan.leftOut) report.leftOut.push_back(std::move(f));
        if (scan.leftOut.empty()) return scan;
        return LoadResult::loaded();
    }
    const int kind = TrackLoadCommand::filterForExtension(input);
    if (kind != 0) {
        std::size_t skipped = 0;
        LoadResult result = TrackLoadCommand::read(table, state, input, kind, skipped);
        if (skipped) note(input + ": " + std::to_string(skipped) + " points without a time were skipped");
        return result;
    }
    return LoadResult::failed("'" + input + "' is neither a .plt, .wpt or .gpx file nor a folder");
}

// After the table: the files left out, then, when photographs were loaded,
// the summary and one line per photograph that was not placed.
void reportPlacements(const DataTable& table, const ProgramState& state, const LoadReport& report) {
    for (const LeftOutFile& f : report.leftOut) note(f.line());
    if (!report.photoFolders) return;
    std::vector<PhotoPlacement> each;
    const PlacementSummary summary = summarisePlacements(table, state.tolerance, &each);
    note(summaryLine(summary, bindingParams(state)));
    for (const PhotoPlacement& p : each)
        if (p.placement.kind != PlacementKind::Placed)
            note(displayFileName(table.text(p.row, FieldId::FileName)) + ": " + placementLine(p.placement, state.tolerance));
}

// Writes the placed photographs' GPS tags; false when any of them was not
// written. A stop signal lets the photographs being written finish within a
// short grace, ends ExifTool after it, and starts no other.
bool writeTags(DataTable& table, const CliOptions& options, SignalWatch& stopSignals) {
#if GEOVANTA_HAVE_QTCORE
    StreamConsole console(std::cerr, "geovanta-cli: ");
    stopSignals.setHandler([&console](int) { console.requestAbort(); });
    ExifToolSessions exifTool(defaultExifToolPath(), KeptProcess::maker());
    TagWriter writer(exifTool);
    TagBatch::Settings settings;
    settings.answerWithin = std::chrono::seconds(options.exifToolTimeout);
    const TagCommands::BatchOutcome batch = TagCommands(table, console, writer, settings).writeAll();
    stopSignals.setHandler({});
    note(batch.summary());
    for (const std::string& failure : batch.failures) note(failure);
    for (const std::string& untried : batch.untried) note(untried);
    return batch.allWritten();
#else
    (void)table;
    (void)options;
    (void)stopSignals;
    return fail("this build cannot run exiftool") == 0;
#endif
}

// The table into a file that is replaced whole or left as it was; a signal
// meanwhile removes the unfinished copy.
int writeCsvFile(const DataTable& table, const std::string& path, SignalWatch& stopSignals) {
    FileReplacement file(path);
    if (file.error()) return fail(*file.error());
    const std::string temp = file.tempPath();
    stopSignals.setHandler([temp](int signal) {
        if (!temp.empty()) std::remove(temp.c_str());
        std::_Exit(128 + signal);
    });
    CsvWriter::write(table, file.stream());
    const bool written = file.commit();
    stopSignals.setHandler({});
    return written ? 0 : fail(*file.error());
}

}  // namespace

int main(int argc, char** argv) {
    // Before any other thread: they all inherit the blocked signals.
    SignalWatch stopSignals;
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

    ProgramState state;
    state.trackOffset = options.trackOffset;
    state.photoOffset = options.photoOffset;
    state.tolerance = options.tolerance;
    DataTable table;
    table.setAutoCalcFields(false);
    LoadReport report;
    for (const std::string& input : options.inputs) {
        LoadResult result;
        try {
            result = loadInput(table, state, input, report);
        } catch (const std::bad_alloc&) {
            result = LoadResult::failed(outOfMemoryMessage(input));
        }
        if (!result.ok()) return fail(result.message);
    }
    table.setAutoCalcFields(true);
    // The table is printed even when some photographs failed; the exit status tells.
    int status = options.writeTags && !writeTags(table, options, stopSignals) ? 1 : 0;
    // Asked to stop: the summary is out, the table is not wanted.
    if (const int signal = stopSignals.received()) return 128 + signal;
    if (!report.leftOut.empty()) status = 1;

    if (options.csvFile.empty()) {
        CsvWriter::write(table, std::cout);
        std::cout.flush();
        if (!std::cout) return fail("cannot write to standard output");
    } else if (writeCsvFile(table, options.csvFile, stopSignals) != 0) {
        return 1;
    }
    reportPlacements(table, state, report);
    return status;
}

// geovanta-cli: the program's load and binding pipeline without a screen.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "app/clioptions.h"
#include "app/commands/tagcommands.h"
#include "app/programpaths.h"
#include "app/programstate.h"
#include "binding/calcpositions.h"
#include "input/gpxreader.h"
#include "input/loadresult.h"
#include "input/photoscanner.h"
#include "input/wholefile.h"
#include "input/trackreader.h"
#include "input/waypointreader.h"
#include "output/csvwriter.h"
#include "output/exiftoolsession.h"
#include "output/streamconsole.h"
#include "output/tagwriter.h"
#if GEOVANTA_HAVE_QTCORE
#include "runtime/keptprocess.h"
#endif
#include "table/asciicase.h"
#include "table/datatable.h"

namespace fs = std::filesystem;
using namespace geovanta;

namespace {

LoadResult loadInput(DataTable& table, ProgramState& state, const std::string& input) {
    std::error_code ec;
    const fs::path path(input);
    if (fs::is_directory(path, ec)) {
        state.photoFolder = input;
        return LoadFotos(table, state.photoFolder, bindingParams(state));
    }
    const std::string ext = asciiLower(path.extension().string());
    if (ext == ".plt") return TrackReader(table, state.trackCounter, bindingParams(state)).load(input);
    if (ext == ".wpt") return WaypointReader(table, bindingParams(state)).load(input);
    if (ext == ".gpx") {
        GpxReader reader(table, state.trackCounter, bindingParams(state));
        LoadResult result = reader.load(input);
        if (const std::size_t skipped = reader.stats().pointsWithoutTime)
            std::cerr << "geovanta-cli: " << input << ": " << skipped << " points without a time were skipped\n";
        return result;
    }
    return LoadResult::failed("'" + input + "' is neither a .plt, .wpt or .gpx file nor a folder");
}

int fail(const std::string& message) {
    std::cerr << "geovanta-cli: " << message << '\n';
    return 1;
}

// Writes the placed photographs' GPS tags; false when any of them was not
// written.
bool writeTags(DataTable& table) {
#if GEOVANTA_HAVE_QTCORE
    StreamConsole console(std::cerr, "geovanta-cli: ");
    ExifToolSessions exifTool(defaultExifToolPath(), KeptProcess::maker());
    TagWriter writer(exifTool);
    const TagCommands::BatchOutcome batch = TagCommands(table, console, writer).writeAll();
    std::cerr << "geovanta-cli: " << batch.summary() << '\n';
    for (const std::string& failure : batch.failures) std::cerr << "geovanta-cli: " << failure << '\n';
    return batch.allWritten();
#else
    (void)table;
    return fail("this build cannot run exiftool") == 0;
#endif
}

}  // namespace

int main(int argc, char** argv) {
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
    for (const std::string& input : options.inputs) {
        LoadResult result;
        try {
            result = loadInput(table, state, input);
        } catch (const std::bad_alloc&) {
            result = LoadResult::failed(outOfMemoryMessage(input));
        }
        if (!result.ok()) return fail(result.message);
    }
    table.setAutoCalcFields(true);
    // The table is printed even when some photographs failed; the exit status tells.
    const int status = options.writeTags && !writeTags(table) ? 1 : 0;

    if (options.csvFile.empty()) {
        CsvWriter::write(table, std::cout);
        std::cout.flush();
        if (!std::cout) return fail("cannot write to standard output");
        return status;
    }
    std::ofstream out(options.csvFile, std::ios::binary | std::ios::trunc);
    if (!out) return fail("cannot write to '" + options.csvFile + "'");
    CsvWriter::write(table, out);
    out.close();
    if (!out) return fail("cannot write to '" + options.csvFile + "'");
    return status;
}

#pragma once
// Where the program's own files are. A portable copy keeps everything in the
// executable's folder, as the program always has; an installed copy (its
// folder cannot be written, or it sits in an installed tree) keeps the
// settings file in the user's configuration folder and finds its helpers in
// the places the install put them.

#include <string>

namespace geovanta {

struct ProgramPaths {
    std::string executableFolder;  // with a trailing separator
    bool portable = true;          // settings beside the executable
    std::string settingsFile;      // Geovanta.ini
    // Where the folder settings start before the user picks any: the
    // executable's folder for a portable copy, the home folder otherwise.
    std::string startFolder;
    std::string exifTool;
    std::string oziLibrary;
    // The data sets (time-zone borders), with a trailing separator: where an
    // install puts them beside the programs' folder, which the build tree
    // copies, else the executable's folder of a portable copy.
    std::string dataFolder;
    // The place names' data sets (geo/placefinder.h): "places" in the data folder.
    std::string placeData;

    // What the locating looks at, so that it can be tried on any folders.
    struct Facts {
        std::string executableFolder;   // with a trailing separator
        std::string userConfigFolder;   // e.g. ~/.config/Geovanta/, with a trailing separator
        std::string homeFolder;         // with a trailing separator
        std::string searchPath;         // the PATH variable
        std::string privateLibFolder;   // the installed helpers, relative to the executable's folder
        std::string dataFolder;         // the installed data sets, relative to the executable's folder
        std::string appId;              // names the installed desktop entry
    };
    static ProgramPaths locate(const Facts& facts);
    // The running program's paths.
    static const ProgramPaths& current();
    static Facts currentFacts();
};

// Folder of the running executable, with a trailing separator.
std::string executableFolder();
// ExifTool and OziExplorer's API library of the running program.
std::string defaultExifToolPath();
std::string defaultOziLibraryPath();
std::string defaultPlaceDataFolder();

}  // namespace geovanta

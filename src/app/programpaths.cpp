#include "app/programpaths.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

#ifndef GEOVANTA_PKGLIBDIR_FROM_BINDIR
#define GEOVANTA_PKGLIBDIR_FROM_BINDIR "../lib/geovanta"
#endif
#ifndef GEOVANTA_DATADIR_FROM_BINDIR
#define GEOVANTA_DATADIR_FROM_BINDIR "../share/geovanta"
#endif
#ifndef GEOVANTA_APP_ID
#define GEOVANTA_APP_ID "io.github.geovanta.Geovanta"
#endif

namespace fs = std::filesystem;

namespace geovanta {
namespace {

#if defined(_WIN32)
constexpr const char* kExifToolName = "exiftool.exe";
constexpr const char* kOziLibraryName = "oziapi.dll";
constexpr char kPathListSeparator = ';';
#else
constexpr const char* kExifToolName = "exiftool";
constexpr const char* kOziLibraryName = "liboziapi.so";
constexpr char kPathListSeparator = ':';
#endif

bool pathExists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

bool folderWritable(const std::string& folder) {
#if defined(_WIN32)
    // Probing with a file is the only honest test where ACLs decide.
    const fs::path probe = fs::path(folder) / ".geovanta-write-test";
    std::error_code ec;
    FILE* f = _wfopen(probe.c_str(), L"wb");
    if (!f) return false;
    fclose(f);
    fs::remove(probe, ec);
    return true;
#else
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
#endif
}

// An installed tree has the program's desktop entry beside its binaries'
// share folder; a build or an unpacked copy has not.
bool inInstalledTree(const ProgramPaths::Facts& f) {
    return pathExists(fs::path(f.executableFolder) / ".." / "share" / "applications" / (f.appId + ".desktop"));
}

std::string findOnPath(const std::string& searchPath, const std::string& name) {
    std::size_t start = 0;
    while (start <= searchPath.size()) {
        std::size_t end = searchPath.find(kPathListSeparator, start);
        if (end == std::string::npos) end = searchPath.size();
        const std::string dir = searchPath.substr(start, end - start);
        // An empty entry means the current folder, which must not decide what runs.
        if (!dir.empty()) {
            const fs::path candidate = fs::path(dir) / name;
            std::error_code ec;
            if (fs::is_regular_file(candidate, ec)) return candidate.string();
        }
        start = end + 1;
    }
    return {};
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string withSeparator(std::string folder) {
    if (folder.empty() || folder.back() != fs::path::preferred_separator) folder += fs::path::preferred_separator;
    return folder;
}

}  // namespace

ProgramPaths ProgramPaths::locate(const Facts& f) {
    ProgramPaths p;
    p.executableFolder = f.executableFolder;
    p.portable = !inInstalledTree(f) && folderWritable(f.executableFolder);
    p.settingsFile = (p.portable ? f.executableFolder : f.userConfigFolder) + "Geovanta.ini";
    p.startFolder = p.portable || f.homeFolder.empty() ? f.executableFolder : f.homeFolder;

    // ExifTool beside the program wins, as the program has always looked
    // there; an installed program uses the system's.
    p.exifTool = f.executableFolder + kExifToolName;
    if (!pathExists(p.exifTool))
        if (std::string found = findOnPath(f.searchPath, kExifToolName); !found.empty()) p.exifTool = found;

#if defined(_WIN32)
    // The system's search order starts with the executable's folder.
    p.oziLibrary = kOziLibraryName;
#else
    p.oziLibrary = f.executableFolder + kOziLibraryName;
    const std::string installed = f.executableFolder + f.privateLibFolder + "/" + kOziLibraryName;
    if (!pathExists(p.oziLibrary) && pathExists(installed)) p.oziLibrary = installed;
#endif

    std::error_code ec;
    const std::string data = withSeparator(f.executableFolder + f.dataFolder);
    p.dataFolder = !f.dataFolder.empty() && fs::is_directory(data, ec) ? data : f.executableFolder;
    p.placeData = p.dataFolder + "places" + fs::path::preferred_separator;
    return p;
}

ProgramPaths::Facts ProgramPaths::currentFacts() {
    Facts f;
    f.executableFolder = geovanta::executableFolder();
#if defined(_WIN32)
    f.userConfigFolder = withSeparator(environment("APPDATA")) + "Geovanta\\";
    f.homeFolder = withSeparator(environment("USERPROFILE"));
#else
    std::string config = environment("XDG_CONFIG_HOME");
    if (config.empty() || config.front() != '/') config = environment("HOME") + "/.config";
    f.userConfigFolder = withSeparator(config) + "Geovanta/";
    if (const std::string home = environment("HOME"); !home.empty()) f.homeFolder = withSeparator(home);
#endif
    f.searchPath = environment("PATH");
    f.privateLibFolder = GEOVANTA_PKGLIBDIR_FROM_BINDIR;
    f.dataFolder = GEOVANTA_DATADIR_FROM_BINDIR;
    f.appId = GEOVANTA_APP_ID;
    return f;
}

const ProgramPaths& ProgramPaths::current() {
    static const ProgramPaths paths = locate(currentFacts());
    return paths;
}

std::string executableFolder() {
    fs::path exe;
#if defined(_WIN32)
    wchar_t buf[32768];
    const DWORD n = GetModuleFileNameW(nullptr, buf, 32768);
    exe = fs::path(std::wstring(buf, n));
#else
    std::error_code ec;
    exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) exe = fs::current_path(ec) / "geovanta";
#endif
    return withSeparator(exe.parent_path().string());
}

std::string defaultExifToolPath() { return ProgramPaths::current().exifTool; }
std::string defaultOziLibraryPath() { return ProgramPaths::current().oziLibrary; }
std::string defaultPlaceDataFolder() { return ProgramPaths::current().placeData; }

}  // namespace geovanta

#include "app/programstate.h"

#include <filesystem>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace geovanta {

std::string executableFolder() {
    namespace fs = std::filesystem;
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
    std::string folder = exe.parent_path().string();
    if (folder.empty() || folder.back() != fs::path::preferred_separator) folder += fs::path::preferred_separator;
    return folder;
}

std::string defaultExifToolPath() {
#if defined(_WIN32)
    return executableFolder() + "exiftool.exe";
#else
    return executableFolder() + "exiftool";
#endif
}

std::string defaultOziLibraryPath() {
#if defined(_WIN32)
    // The system's search order starts with the executable's folder.
    return "oziapi.dll";
#else
    return executableFolder() + "liboziapi.so";
#endif
}

}  // namespace geovanta

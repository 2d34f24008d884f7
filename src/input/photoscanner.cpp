#include "input/photoscanner.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "binding/calcpositions.h"
#include "input/exif.h"
#include "input/exiftime.h"
#include "table/asciicase.h"
#include "table/datatable.h"
#include "table/datetime.h"
#include "table/displaysuspension.h"

namespace fs = std::filesystem;

namespace geovanta {
namespace {

bool localCivil(std::time_t t, std::tm& out) {
#ifdef _WIN32
    return ::localtime_s(&out, &t) == 0;
#else
    return ::localtime_r(&t, &out) != nullptr;
#endif
}

int currentYear() {
    std::tm now{};
    if (!localCivil(std::time(nullptr), now)) return 2000;
    return now.tm_year + 1900;
}

// Local last-write time at two-second resolution, as the packed date and time
// of older file systems keeps it; 0 when the platform cannot tell it.
int64_t modificationMs(const fs::directory_entry& entry) {
    std::error_code ec;
    const fs::file_time_type written = entry.last_write_time(ec);
    if (ec) return 0;
    const auto sys = std::chrono::file_clock::to_sys(written);
    const std::time_t seconds = std::chrono::system_clock::to_time_t(
        std::chrono::floor<std::chrono::seconds>(sys));
    std::tm local{};
    if (!localCivil(seconds, local)) return 0;
    const CivilDateTime civil{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                              local.tm_hour,        local.tm_min,     local.tm_sec & ~1, 0};
    return civilToMs(civil).value_or(0);
}

void appendPhotoRow(DataTable& table, const std::string& name, const std::string& fileName, int64_t timeMs) {
    table.append();
    const std::size_t row = table.recNo();
    table.setText(row, FieldId::Stat, "F");
    table.setText(row, FieldId::Name, nameWithoutExtension(name));
    table.setText(row, FieldId::FileName, fileName);
    table.setTimeMs(row, FieldId::Time, timeMs);
}

// Lists the folder and appends a row per photograph; returns the message of
// the error that ended the listing, or nothing.
std::string scanFolder(DataTable& table, const std::string& folder, TExif& exif) {
    const int year = currentYear();
    std::error_code ec;
    // An empty photo folder names the current folder, as a bare "*" would.
    fs::directory_iterator it(folder.empty() ? fs::path(".") : fs::path(folder), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::directory_entry& entry = *it;
        const std::string name = entry.path().filename().string();
        if (!isPhotoName(name)) continue;
        std::error_code typeError;
        if (!entry.is_regular_file(typeError)) continue;  // a folder named Old.JPG is no photograph
        table.setLastScanPhotoCount(table.lastScanPhotoCount() + 1);
        const std::string fileName = folder + name;
        try {
            exif.ReadExif(fileName);
        } catch (const ExifError& e) {
            return fileName + ": " + e.what();
        }
        const std::string& original = exif.DateTimeOriginal;
        int64_t timeMs;
        if (exif.ExifFound && !original.empty() && !exifDateUnknown(original)) {
            const auto shot = exifShootingTimeMs(original, year);
            if (!shot) return fileName + ": " + invalidTimeMessage(exifTimePart(original));
            timeMs = *shot + exif.SubSecTimeOriginalMs;
        } else {
            timeMs = modificationMs(entry);
        }
        appendPhotoRow(table, name, fileName, timeMs);
    }
    return {};
}

}  // namespace

std::string normalisedFolderPath(const std::string& folder) {
    if (folder.empty()) return folder;
    const char last = folder.back();
#ifdef _WIN32
    if (last == '\\' || last == '/' || last == ':') return folder;
    const bool letter = (last >= 'A' && last <= 'Z') || (last >= 'a' && last <= 'z');
    if (folder.size() == 1 && letter) return folder + ":\\";
    return folder + "\\";
#else
    if (last == '/') return folder;
    return folder + "/";
#endif
}

bool isPhotoName(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos) return false;
    const std::string ext = asciiUpper(std::string_view(name).substr(dot));
    return ext == ".JPG" || ext == ".NEF";
}

std::string nameWithoutExtension(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

LoadResult LoadFotos(DataTable& table, const std::string& folder, const BindingParams& params,
                     PhotoScanStats* stats) {
    DisplaySuspension suspended(table);  // resumes last, after recalculation is back on
    table.setAutoCalcFields(false);
    table.setLastScanPhotoCount(0);
    std::string error;
    try {
        TExif exif;
        error = scanFolder(table, normalisedFolderPath(folder), exif);
        if (stats) {
            stats->photos = static_cast<std::size_t>(table.lastScanPhotoCount());
            stats->bytesRead = exif.bytesRead();
        }
    } catch (const std::exception& e) {
        error = e.what();
    }
    // Also after an error: the rows appended so far are placed and the
    // table is left whole, shown and recalculating.
    try {
        CalcPositions(table, params);
    } catch (const std::exception& e) {
        if (error.empty()) error = e.what();
    }
    table.setAutoCalcFields(true);
    if (!error.empty()) return LoadResult::failed(error);
    return LoadResult::loaded();
}

}  // namespace geovanta

#include "input/photoscanner.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "binding/calcpositions.h"
#include "input/exif.h"
#include "input/exiftime.h"
#include "input/positionedfile.h"
#include "table/asciicase.h"
#include "table/datatable.h"
#include "table/datetime.h"
#include "table/displaysuspension.h"
#include "table/filestamp.h"
#include "table/textcodec.h"

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
// of older file systems keeps it; an error text when the platform cannot tell it.
std::optional<int64_t> modificationMs(const fs::directory_entry& entry, std::string& error) {
    std::error_code ec;
    const fs::file_time_type written = entry.last_write_time(ec);
    if (ec) {
        error = ec.message();
        return std::nullopt;
    }
    const auto sys = std::chrono::file_clock::to_sys(written);
    const std::time_t seconds = std::chrono::system_clock::to_time_t(
        std::chrono::floor<std::chrono::seconds>(sys));
    std::tm local{};
    if (!localCivil(seconds, local)) {
        error = "the file's date cannot be read";
        return std::nullopt;
    }
    const CivilDateTime civil{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                              local.tm_hour,        local.tm_min,     local.tm_sec & ~1, 0};
    return civilToMs(civil).value_or(0);
}

// The EXIF reader passes over a file it cannot open as if it held no EXIF
// data; the file's date would then stand in for a time nobody read. Asked
// only when the EXIF data gave no time, so most photographs are opened once.
std::optional<std::string> cannotOpen(const std::string& fileName) {
    PositionedFile probe;
    switch (probe.open(fileName)) {
        case PositionedFile::OpenResult::Opened: return std::nullopt;
        case PositionedFile::OpenResult::NotRegularFile: return "not a regular file";
        case PositionedFile::OpenResult::Failed: break;
    }
    return fileLayerMessage(probe.lastError());
}

void appendPhotoRow(DataTable& table, const std::string& name, const std::string& fileName, int64_t timeMs,
                    char timeSource, const FileStamp& stamp) {
    table.append();
    const std::size_t row = table.recNo();
    table.setText(row, FieldId::Stat, "F");
    table.setText(row, FieldId::Name, nameWithoutExtension(name));
    table.setText(row, FieldId::FileName, fileName);
    table.setTimeMs(row, FieldId::Time, timeMs);
    table.setText(row, FieldId::TimeSource, std::string_view(&timeSource, 1));
    table.setFileStamp(row, stamp);
}

// The photograph's time and where it came from, or why it has none.
struct ShotTime {
    int64_t ms = 0;
    char source = kTimeFromExif;
    std::string error;
};

ShotTime shotTime(TExif& exif, const fs::directory_entry& entry, const std::string& fileName, int year) {
    ShotTime t;
    try {
        exif.ReadExif(fileName);
    } catch (const ExifError& e) {
        t.error = e.what();
        return t;
    }
    const std::string& original = exif.DateTimeOriginal;
    if (exif.ExifFound && !original.empty() && !exifDateUnknown(original)) {
        const auto shot = exifShootingTimeMs(original, year);
        if (!shot) t.error = invalidTimeMessage(exifTimePart(original));
        t.ms = shot.value_or(0) + exif.SubSecTimeOriginalMs;
        return t;
    }
    if (auto why = cannotOpen(fileName)) {
        t.error = std::move(*why);
        return t;
    }
    t.source = kTimeFromFileDate;
    t.ms = modificationMs(entry, t.error).value_or(0);
    return t;
}

// Lists the folder and appends a row per photograph; what cannot be read is
// noted and passed over.
void scanFolder(DataTable& table, const std::string& folder, TExif& exif, std::vector<LeftOutFile>& leftOut,
                Progress* progress) {
    const int year = currentYear();
    std::error_code ec;
    // An empty photo folder names the current folder, as a bare "*" would.
    fs::directory_iterator it(folder.empty() ? fs::path(".") : fs::path(folder), ec);
    // A folder that is not there holds no photographs; that is no error.
    if (ec == std::errc::no_such_file_or_directory) return;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::directory_entry& entry = *it;
        const std::string name = entry.path().filename().string();
        if (!isPhotoName(name)) continue;
        if (stopWanted(progress)) return;
        std::error_code typeError;
        if (!entry.is_regular_file(typeError)) continue;  // a folder named Old.JPG is no photograph
        table.setLastScanPhotoCount(table.lastScanPhotoCount() + 1);
        if (progress) progress->advance();
        const std::string fileName = folder + name;
        // Taken before the file is read, so that a change while it is read
        // also shows when it is written.
        std::string stampError;
        const std::optional<FileStamp> stamp = fileStampOf(fileName, &stampError);
        if (!stamp) {
            leftOut.push_back({fileName, std::move(stampError)});
            continue;
        }
        ShotTime time = shotTime(exif, entry, fileName, year);
        if (!time.error.empty())
            leftOut.push_back({fileName, std::move(time.error)});
        else
            appendPhotoRow(table, name, fileName, time.ms, time.source, *stamp);
    }
    // Breaking off part-way would otherwise pass for a complete folder.
    if (ec) leftOut.push_back({folder, "the folder cannot be listed: " + ec.message()});
}

}  // namespace

std::string LeftOutFile::line() const { return displayFileName(path) + ": " + reason; }

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

PhotoScanResult LoadFotos(DataTable& table, const std::string& folder, const BindingParams& params,
                          PhotoScanStats* stats, Progress* progress) {
    DisplaySuspension suspended(table);  // resumes last, after recalculation is back on
    table.setLastScanPhotoCount(0);
    PhotoScanResult result;
    std::string error;
    try {
        TExif exif;
        scanFolder(table, normalisedFolderPath(folder), exif, result.leftOut, progress);
        if (stopWanted(progress)) {
            static_cast<LoadResult&>(result) = LoadResult::cancelled();
            return result;
        }
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
    for (const LeftOutFile& f : result.leftOut) {
        if (!result.message.empty()) result.message += '\n';
        result.message += f.line();
    }
    if (!error.empty()) result.message += (result.message.empty() ? "" : "\n") + error;
    if (!result.message.empty()) result.status = LoadResult::Status::Failed;
    return result;
}

}  // namespace geovanta

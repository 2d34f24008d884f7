#include "input/photoscanner.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <ctime>
#include <exception>
#include <filesystem>
#include <system_error>
#include <thread>

#include "input/exif.h"
#include "input/exiftime.h"
#include "input/positionedfile.h"
#include "table/datatable.h"
#include "table/datetime.h"
#include "table/displaysuspension.h"
#include "table/filestamp.h"
#include "table/messages.h"

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
        error = textOf(Msg::FileDateUnreadable);
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
        case PositionedFile::OpenResult::NotRegularFile: return textOf(Msg::NotRegularFile);
        case PositionedFile::OpenResult::Failed: break;
    }
    return fileLayerMessage(probe.lastError());
}

// The photograph's time and where it came from, or why it has none.
struct ShotTime {
    int64_t ms = 0;
    char source = kTimeFromExif;
    std::optional<int> zone;      // minutes east of UTC, for a time from EXIF
    std::string invalidExifDate;  // the EXIF date-time that was no date
    std::string error;
    PhotoFacts facts;             // whatever the time came from
};

// The row is posted at once, so that it has the creation number that keeps
// the text of an invalid EXIF date.
void appendPhotoRow(DataTable& table, const ListedPhoto& photo, const ShotTime& time, const FileStamp& stamp) {
    table.append();
    const std::size_t row = table.recNo();
    table.setText(row, FieldId::Stat, "F");
    table.setText(row, FieldId::Name, nameWithoutExtension(photo.name));
    table.setText(row, FieldId::FileName, photo.fileName);
    table.setTimeMs(row, FieldId::Time, time.ms);
    table.setText(row, FieldId::TimeSource, std::string_view(&time.source, 1));
    table.setPhotoZone(row, time.zone);
    table.setFileStamp(row, stamp);
    if (time.facts != PhotoFacts{}) table.setPhotoFacts(row, time.facts);
    table.post();
    if (!time.invalidExifDate.empty()) table.setInvalidExifDate(row, time.invalidExifDate);
}

ShotTime shotTime(TExif& exif, const fs::directory_entry& entry, const std::string& fileName, int year) {
    ShotTime t;
    try {
        exif.ReadExif(fileName);
    } catch (const ExifError& e) {
        t.error = e.what();
        return t;
    }
    t.facts = {std::move(exif.Camera), std::move(exif.GpsPosition), std::move(exif.Place), exif.Iptc};
    const std::string& original = exif.DateTimeOriginal;
    if (exif.ExifFound && !original.empty() && !exifDateUnknown(original)) {
        if (const auto shot = exifShootingTimeMs(original, year)) {
            t.ms = *shot + exif.SubSecTimeOriginalMs;
            // The zone belongs to the camera's clock: a file's date, taken
            // instead, is told in this computer's own zone.
            t.zone = exif.TimeZoneOffsetMinutes;
            return t;
        }
        // A date that is no date (30 February, hour 24, all zeros) is no
        // shooting time: the file's date stands in, as without EXIF.
        t.invalidExifDate = original;
    }
    if (auto why = cannotOpen(fileName)) {
        t.error = std::move(*why);
        return t;
    }
    t.source = t.invalidExifDate.empty() ? kTimeFromFileDate : kTimeFromFileDateExifInvalid;
    t.ms = modificationMs(entry, t.error).value_or(0);
    return t;
}

// What reading one photograph gave; made on any thread.
struct PhotoRead {
    std::optional<FileStamp> stamp;
    std::string stampError;
    ShotTime time;
    std::exception_ptr failure;  // anything but a reader's error, for the scan to stop on
};

PhotoRead readPhoto(TExif& exif, const ListedPhoto& photo, int year) {
    PhotoRead r;
    try {
        // Taken before the file is read, so that a change while it is read
        // also shows when it is written.
        r.stamp = fileStampOf(photo.fileName, &r.stampError);
        if (r.stamp) r.time = shotTime(exif, photo.entry, photo.fileName, year);
    } catch (...) {
        r.failure = std::current_exception();
    }
    return r;
}

// Photographs are read this many at a time by all readers at once, and then
// appended in listing order. A photograph that is not in memory waits for the
// disk, and a disk serves many requests at once sooner than one after another.
constexpr std::size_t kPhotosPerRound = 1024;

std::size_t readerCount() {
    const std::size_t cores = std::max(1u, std::thread::hardware_concurrency());
    return std::clamp<std::size_t>(2 * cores, 2, 8);
}

// Reads photos[first, first + reads.size()) into `reads` with every reader.
void readRound(std::vector<TExif>& readers, const std::vector<ListedPhoto>& photos, std::size_t first,
               std::vector<PhotoRead>& reads, int year, const Progress* progress) {
    std::atomic<std::size_t> next{0};
    auto work = [&](TExif& exif) {
        for (std::size_t i; (i = next.fetch_add(1)) < reads.size() && !stopWanted(progress);)
            reads[i] = readPhoto(exif, photos[first + i], year);
    };
    std::vector<std::jthread> helpers;
    for (std::size_t k = 1; k < readers.size() && k < reads.size(); ++k) helpers.emplace_back(work, std::ref(readers[k]));
    work(readers[0]);
}

// Appends a row per photograph; what cannot be read is noted and passed over.
void scanPhotos(DataTable& table, const FolderListing& listing, std::vector<TExif>& readers,
                std::vector<LeftOutFile>& leftOut, Progress* progress) {
    const int year = currentYear();
    const std::vector<ListedPhoto>& photos = listing.photos;
    std::vector<PhotoRead> reads;
    for (std::size_t first = 0; first < photos.size(); first += kPhotosPerRound) {
        reads.assign(std::min(kPhotosPerRound, photos.size() - first), PhotoRead{});
        readRound(readers, photos, first, reads, year, progress);
        for (std::size_t i = 0; i < reads.size(); ++i) {
            if (stopWanted(progress)) return;
            const ListedPhoto& photo = photos[first + i];
            PhotoRead& read = reads[i];
            if (read.failure) std::rethrow_exception(read.failure);
            table.setLastScanPhotoCount(table.lastScanPhotoCount() + 1);
            if (progress) progress->advance();
            if (!read.stamp)
                leftOut.push_back({photo.fileName, std::move(read.stampError)});
            else if (!read.time.error.empty())
                leftOut.push_back({photo.fileName, std::move(read.time.error)});
            else
                appendPhotoRow(table, photo, read.time, *read.stamp);
        }
    }
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

std::string nameWithoutExtension(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

PhotoScanResult LoadFotos(DataTable& table, const std::string& folder, SubFolders subFolders,
                          PhotoScanStats* stats, Progress* progress) {
    DisplaySuspension suspended(table);  // resumes last, after recalculation is back on
    table.setLastScanPhotoCount(0);
    PhotoScanResult result;
    std::string error;
    try {
        FolderListing listing = listPhotos(normalisedFolderPath(folder), subFolders, progress);
        result.leftOut = std::move(listing.unread);
        std::vector<TExif> readers(readerCount());
        if (progress) progress->setTotal(listing.photos.size());
        scanPhotos(table, listing, readers, result.leftOut, progress);
        if (stopWanted(progress)) {
            static_cast<LoadResult&>(result) = LoadResult::cancelled();
            return result;
        }
        if (stats) {
            stats->photos = static_cast<std::size_t>(table.lastScanPhotoCount());
            stats->bytesRead = 0;
            for (const TExif& exif : readers) stats->bytesRead += exif.bytesRead();
        }
    } catch (const std::exception& e) {
        error = e.what();
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

#include "output/filereplacement.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <utility>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include "table/messages.h"

namespace geovanta {
namespace fs = std::filesystem;

namespace {

std::string processId() {
#ifndef _WIN32
    return std::to_string(::getpid());
#else
    return "0";
#endif
}

// A fresh name beside the target, created here and now ("x": never an
// existing file, so nobody else's file is ever truncated or removed).
std::optional<std::string> createBeside(const fs::path& target, std::string& error) {
    const fs::path folder = target.parent_path();
    // Cut so that even a name at the file system's limit leaves room.
    const std::string stem = "." + target.filename().string().substr(0, 200) + "." + processId() + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = (folder / (stem + std::to_string(attempt) + ".tmp")).string();
        if (std::FILE* file = std::fopen(candidate.c_str(), "wbx")) {
            std::fclose(file);
            return candidate;
        }
        if (errno != EEXIST) {
            error = std::strerror(errno);
            return std::nullopt;
        }
    }
    error = std::strerror(EEXIST);
    return std::nullopt;
}

// Waits until the file's bytes are on the disk, not only in the system's
// cache: a rename that reaches the disk before them would leave an empty
// file after a power cut. The error, or nothing.
std::optional<std::string> flushToDisk(const std::string& path) {
#ifndef _WIN32
    // Opened for writing: it was just written, so that is allowed whatever
    // permissions it took over from the old file.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return std::string(std::strerror(errno));
    const int failed = ::fsync(fd) != 0 ? errno : 0;
    ::close(fd);
    if (failed) return std::string(std::strerror(failed));
#else
    (void)path;
#endif
    return std::nullopt;
}

// The folder's entry for the renamed file, on the disk as well. The file is
// in place by then whatever comes of it, so a folder that cannot be flushed
// (some file systems refuse) is no failure of the write.
void flushFolder(const fs::path& file) {
#ifndef _WIN32
    const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
#else
    (void)file;
#endif
}

}  // namespace

FileReplacement::FileReplacement(std::string path, Fallback fallback) : target_(std::move(path)) {
    std::error_code ec;
    if (fs::is_symlink(target_, ec)) {
        const fs::path resolved = fs::weakly_canonical(target_, ec);
        if (!ec) target_ = resolved.string();
    }
    const fs::file_status existing = fs::status(target_, ec);
    const bool exists = !ec && fs::exists(existing);
    if (exists && !fs::is_regular_file(existing)) {
        if (fallback == Fallback::Refuse) {
            error_ = textOf(Msg::CannotReplaceNotRegular, {target_});
            return;
        }
        openDirectly();
        return;
    }
    std::string why;
    const std::optional<std::string> temp = createBeside(fs::path(target_), why);
    if (!temp) {
        // A file one may write in a folder one may not: written in place, as
        // the only way left.
        if (exists && fallback == Fallback::WriteInPlace) {
            openDirectly();
            return;
        }
        error_ = textOf(Msg::CannotWriteToBecause, {target_, why});
        return;
    }
    temp_ = *temp;
    // The new file keeps the old one's permissions; a file made anew has the
    // usual ones, as the open above gave it.
    if (exists) fs::permissions(temp_, existing.permissions(), ec);
    out_.open(temp_, std::ios::binary | std::ios::trunc);
    if (!out_) error_ = textOf(Msg::CannotWriteTo, {temp_});
}

void FileReplacement::openDirectly() {
    direct_ = true;
    out_.open(target_, std::ios::binary | std::ios::trunc);
    if (!out_) error_ = textOf(Msg::CannotWriteTo, {target_});
}

FileReplacement::~FileReplacement() {
    if (!committed_) discard();
}

bool FileReplacement::commit() {
    if (error_) return false;
    out_.flush();
    out_.close();
    if (!out_) {
        error_ = textOf(Msg::CannotWriteTo, {target_});
        discard();
        return false;
    }
    if (direct_) return committed_ = true;
    if (const auto why = flushToDisk(temp_)) {
        error_ = textOf(Msg::CannotWriteToBecause, {target_, *why});
        discard();
        return false;
    }
    std::error_code ec;
    fs::rename(temp_, target_, ec);
    if (ec) {
        error_ = textOf(Msg::CannotWriteToBecause, {target_, ec.message()});
        discard();
        return false;
    }
    committed_ = true;
    flushFolder(fs::path(target_));
    return true;
}

void FileReplacement::discard() {
    if (out_.is_open()) out_.close();
    if (temp_.empty()) return;
    std::error_code ignored;
    fs::remove(temp_, ignored);
    temp_.clear();
}

}  // namespace geovanta

#include "table/filestamp.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <chrono>
#include <filesystem>
#else
#include <sys/stat.h>
#endif

namespace geovanta {

std::string FileStamp::text() const {
    return std::to_string(device) + ":" + std::to_string(inode) + ":" + std::to_string(size) + ":" +
           std::to_string(modifiedNs);
}

namespace {

// `follow`: through symbolic links (stat), or of the name itself (lstat).
std::optional<FileStamp> stampOf(const std::string& path, bool follow, std::string* error) {
    FileStamp stamp;
#ifdef _WIN32
    // No inode to be had here: size and time must do.
    (void)follow;
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    const auto written = ec ? fs::file_time_type() : fs::last_write_time(path, ec);
    if (ec) {
        if (error) *error = ec.message();
        return std::nullopt;
    }
    stamp.size = static_cast<int64_t>(size);
    stamp.modifiedNs = std::chrono::duration_cast<std::chrono::nanoseconds>(written.time_since_epoch()).count();
#else
    struct stat st {};
    if ((follow ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) {
        if (error) *error = std::strerror(errno);
        return std::nullopt;
    }
    stamp.device = static_cast<uint64_t>(st.st_dev);
    stamp.inode = static_cast<uint64_t>(st.st_ino);
    stamp.size = static_cast<int64_t>(st.st_size);
#ifdef __APPLE__
    const struct timespec& modified = st.st_mtimespec;
#else
    const struct timespec& modified = st.st_mtim;
#endif
    stamp.modifiedNs = static_cast<int64_t>(modified.tv_sec) * 1000000000 + modified.tv_nsec;
#endif
    return stamp;
}

}  // namespace

std::optional<FileStamp> fileStampOf(const std::string& path, std::string* error) {
    return stampOf(path, true, error);
}

std::optional<FileStamp> nameStampOf(const std::string& path, std::string* error) {
    return stampOf(path, false, error);
}

}  // namespace geovanta

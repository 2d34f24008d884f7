#include "input/positionedfile.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "table/messages.h"

namespace geovanta {

PositionedFile::OpenResult PositionedFile::open(const std::string& path) {
    close();
#ifdef _WIN32
    const int fd = ::_open(path.c_str(), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        error_ = errno;
        return OpenResult::Failed;
    }
    struct _stat64 st {};
    if (::_fstat64(fd, &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG) {
        ::_close(fd);
        error_ = (st.st_mode & _S_IFMT) == _S_IFDIR ? EISDIR : 0;
        return OpenResult::NotRegularFile;
    }
#else
    // O_NONBLOCK keeps a pipe named like a photograph from hanging the scan;
    // fstat then turns away everything that is not a regular file.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error_ = errno;
        return OpenResult::Failed;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        error_ = S_ISDIR(st.st_mode) ? EISDIR : 0;
        return OpenResult::NotRegularFile;
    }
#endif
    handle_ = fd;
    size_ = static_cast<uint64_t>(st.st_size);
    return OpenResult::Opened;
}

void PositionedFile::close() {
    if (handle_ < 0) return;
#ifdef _WIN32
    ::_close(handle_);
#else
    ::close(handle_);
#endif
    handle_ = -1;
    size_ = 0;
    headRead_ = false;
    headSize_ = 0;
    windowSize_ = 0;
}

std::string PositionedFile::failureReason() const {
    if (error_ == 0) return textOf(Msg::NotRegularFile);
    return std::generic_category().message(error_);
}

long long PositionedFile::readAt(uint64_t offset, void* buffer, std::size_t count) {
    if (handle_ < 0) {
        error_ = EBADF;
        return -1;
    }
    if (offset >= size_ || count == 0) return 0;
    if (count > size_ - offset) count = static_cast<std::size_t>(size_ - offset);
    auto* out = static_cast<unsigned char*>(buffer);
    long long result = 0;
    if (offset + count <= kHeadBytes && fromHead(offset, out, count, result)) return result;
    if (offset >= kHeadBytes && count <= kWindowBytes / 8 && fromWindow(offset, out, count, result)) return result;
    return readFromSystem(offset, out, count);
}

bool PositionedFile::fromHead(uint64_t offset, unsigned char* out, std::size_t count, long long& result) {
    if (!headRead_) {
        if (!head_) head_ = std::make_unique<unsigned char[]>(kHeadBytes);
        const auto want = static_cast<std::size_t>(std::min<uint64_t>(size_, kHeadBytes));
        const long long got = readFromSystem(0, head_.get(), want);
        if (got < 0) {
            result = -1;
            return true;
        }
        headSize_ = static_cast<std::size_t>(got);
        headRead_ = true;
    }
    // A head cut short by a file that shrank is read again as asked.
    if (offset + count > headSize_) return false;
    std::copy(head_.get() + offset, head_.get() + offset + count, out);
    result = static_cast<long long>(count);
    return true;
}

bool PositionedFile::fromWindow(uint64_t offset, unsigned char* out, std::size_t count, long long& result) {
    const bool inWindow = windowSize_ && offset >= windowStart_ && offset - windowStart_ + count <= windowSize_;
    if (!inWindow) {
        if (!window_) window_ = std::make_unique<unsigned char[]>(kWindowBytes);
        const auto want = static_cast<std::size_t>(std::min<uint64_t>(size_ - offset, kWindowBytes));
        const long long got = readFromSystem(offset, window_.get(), want);
        windowSize_ = 0;
        if (got < 0) {
            result = -1;
            return true;
        }
        windowStart_ = offset;
        windowSize_ = static_cast<std::size_t>(got);
        if (count > windowSize_) return false;  // the file shrank
    }
    const std::size_t at = static_cast<std::size_t>(offset - windowStart_);
    std::copy(window_.get() + at, window_.get() + at + count, out);
    result = static_cast<long long>(count);
    return true;
}

long long PositionedFile::readFromSystem(uint64_t offset, unsigned char* out, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
#ifdef _WIN32
        if (::_lseeki64(handle_, static_cast<long long>(offset + done), SEEK_SET) < 0) {
            error_ = errno;
            return -1;
        }
        const int n = ::_read(handle_, out + done, static_cast<unsigned>(count - done));
#else
        const ssize_t n = ::pread(handle_, out + done, count - done, static_cast<off_t>(offset + done));
#endif
        if (n < 0) {
            if (errno == EINTR) continue;
            error_ = errno;
            return -1;
        }
        if (n == 0) break;  // the file shrank since it was opened
        done += static_cast<std::size_t>(n);
    }
    bytesRead_ += done;
    return static_cast<long long>(done);
}

}  // namespace geovanta

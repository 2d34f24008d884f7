#include "output/folderlock.h"

#include <utility>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace geovanta {

FolderLock::FolderLock(std::string folder) : folder_(std::move(folder)) {
#ifndef _WIN32
    // Close-on-exec: an ExifTool started meanwhile must not hold the lock on
    // after this program has let it go.
    fd_ = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) return;
    state_ = State::Busy;
    if (!tryAgain() && state_ == State::Unavailable) release();
#endif
}

FolderLock::~FolderLock() { release(); }

FolderLock::FolderLock(FolderLock&& other) noexcept
    : folder_(std::move(other.folder_)), state_(other.state_), fd_(std::exchange(other.fd_, -1)) {
    other.state_ = State::Unavailable;
}

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
    if (this != &other) {
        release();
        folder_ = std::move(other.folder_);
        state_ = std::exchange(other.state_, State::Unavailable);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

bool FolderLock::tryAgain() {
#ifndef _WIN32
    if (state_ != State::Busy) return state_ == State::Held;
    int result;
    do {
        result = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0)
        state_ = State::Held;
    else if (errno != EWOULDBLOCK)
        state_ = State::Unavailable;
#endif
    return state_ == State::Held;
}

void FolderLock::release() {
#ifndef _WIN32
    // Closing the folder lets the lock go.
    if (fd_ >= 0) ::close(fd_);
#endif
    fd_ = -1;
    state_ = State::Unavailable;
}

}  // namespace geovanta

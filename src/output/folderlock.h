#pragma once
// An advisory lock on a photo folder for as long as GPS tags are written in
// it, taken on the folder itself so that nothing is left behind in it. Every
// tag write of this program takes it, in the window and on the command line:
// ExifTool writes each photograph beside itself under a temporary name, and
// two writers in one folder would take each other's temporary files.

#include <string>

namespace geovanta {

class FolderLock {
public:
    enum class State {
        Held,         // this lock holds the folder
        Busy,         // another writer holds it; tryAgain() may take it later
        Unavailable,  // the folder cannot be locked here (gone, or a file system without locks)
    };

    FolderLock() = default;
    // Tries once, without waiting.
    explicit FolderLock(std::string folder);
    ~FolderLock();
    FolderLock(FolderLock&& other) noexcept;
    FolderLock& operator=(FolderLock&& other) noexcept;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Tries a busy lock once more; true once it is held.
    bool tryAgain();

    State state() const { return state_; }
    const std::string& folder() const { return folder_; }

private:
    void release();

    std::string folder_;
    State state_ = State::Unavailable;
    int fd_ = -1;
};

}  // namespace geovanta

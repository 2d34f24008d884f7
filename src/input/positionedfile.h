#pragma once
// A file opened for positioned reads only: every read names its offset, so
// nothing depends on a shared file position. Small reads near the start,
// where the structures of a photograph lie, are served from one read of its
// first kHeadBytes: a system call each would cost more than the bytes. Small
// reads further on (the EXIF data of a HEIC file, a raw file's maker notes),
// which come in runs close to one another, are served the same way from a
// window of kWindowBytes read where the first of them falls.
// Counts the bytes it reads from the system.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace geovanta {

class PositionedFile {
public:
    enum class OpenResult { Opened, NotRegularFile, Failed };

    PositionedFile() = default;
    ~PositionedFile() { close(); }
    PositionedFile(const PositionedFile&) = delete;
    PositionedFile& operator=(const PositionedFile&) = delete;

    // Opens a regular file for reading (others may read and write it
    // meanwhile). Folders, devices and pipes are refused without blocking.
    OpenResult open(const std::string& path);
    void close();
    bool isOpen() const { return handle_ >= 0; }

    uint64_t size() const { return size_; }

    // Reads up to `count` bytes at `offset`; fewer only at the end of the file.
    // Returns the number read, or -1 on a system error (see lastError()).
    long long readAt(uint64_t offset, void* buffer, std::size_t count);

    // The system's error code of the last failed open or read; EISDIR for a
    // folder and 0 for anything else that is no regular file.
    int lastError() const { return error_; }
    // The same as the system words it ("Permission denied"), or "not a
    // regular file".
    std::string failureReason() const;
    uint64_t bytesRead() const { return bytesRead_; }

    static constexpr std::size_t kHeadBytes = 8192;
    static constexpr std::size_t kWindowBytes = 4096;

private:
    long long readFromSystem(uint64_t offset, unsigned char* out, std::size_t count);
    // Copies from the head or the window when they hold all of it.
    bool fromHead(uint64_t offset, unsigned char* out, std::size_t count, long long& result);
    bool fromWindow(uint64_t offset, unsigned char* out, std::size_t count, long long& result);

    int handle_ = -1;
    uint64_t size_ = 0;
    int error_ = 0;
    uint64_t bytesRead_ = 0;
    std::unique_ptr<unsigned char[]> head_;  // the file's first headSize_ bytes, once read
    std::size_t headSize_ = 0;
    bool headRead_ = false;
    std::unique_ptr<unsigned char[]> window_;  // windowSize_ bytes from windowStart_
    uint64_t windowStart_ = 0;
    std::size_t windowSize_ = 0;
};

}  // namespace geovanta

#pragma once
// Reading a GPS file whole into memory, with the readers' messages for a file
// that cannot be read.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "input/guardedmapping.h"
#include "input/loadresult.h"

namespace geovanta {

// Largest file the readers take whole; far beyond any real GPS log, and small
// enough that a mistaken pick (a disk image, a video) fails at once instead of
// exhausting memory.
inline constexpr uint64_t kMaxWholeFileBytes = uint64_t{1} << 30;

// A file's bytes in memory that is not filled with zeros first: for a log of
// a hundred megabytes that fill costs as much as the read. A reader that
// walks the bytes once hands back what it has passed (release), so that the
// file and the rows made from it are never in memory whole at once. A big
// file is mapped rather than read (guardedmapping.h): its pages come in as
// the reader reaches them, so it is never whole in memory even at the start.
class FileBytes {
public:
    FileBytes() = default;
    FileBytes(FileBytes&& other) noexcept { swap(other); }
    FileBytes& operator=(FileBytes&& other) noexcept {
        FileBytes gone(std::move(*this));
        swap(other);
        return *this;
    }
    ~FileBytes();

    std::string_view view() const { return {data_, size_}; }
    operator std::string_view() const { return view(); }

    // The bytes before `offset` are done with: their memory goes back to the
    // system, whole pages at a time, and what lies there reads as zeros (or,
    // of a mapped file, as the file has it).
    void release(std::size_t offset);

    // A mapped file was cut short by another program while it was read, or a
    // page of it could not be read: the bytes from there on read as zeros.
    bool cutShort() const;

    // Bytes made in memory whose count is not known beforehand (a file being
    // decompressed) are written at end() and then counted by added(). Room
    // grows without copying where the system can move a mapping; false when
    // memory runs out, the bytes so far kept.
    bool reserve(std::size_t capacity);
    std::size_t room() const { return capacity_ - size_; }
    char* end() { return data_ + size_; }
    void added(std::size_t count) { size_ += count; }  // at most room()
    // Room for `size` bytes that the caller writes itself (an archive's entry
    // as it inflates), to be read and handed back as a file's are; truncate()
    // then keeps the part written. False when memory is short.
    bool makeRoom(std::size_t size);
    char* writable() { return data_; }
    void truncate(std::size_t size) { size_ = std::min(size, size_); }

private:
    friend std::optional<std::string> readWholeFile(const std::string& path, FileBytes& bytes);
    bool allocate(std::size_t size);
    void swap(FileBytes& other) noexcept;

    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    std::size_t mapped_ = 0;    // bytes mapped for the file; 0 when data_ came from new[]
    std::size_t released_ = 0;  // bytes at the start handed back
    std::unique_ptr<GuardedMapping> file_;  // the file's own pages, when mapped
};

// Reads a whole regular file byte for byte into `bytes`, as long as it was
// when opened. Returns the error message instead: cannotOpenMessage() when
// the file cannot be opened or read (missing, a folder, a device or pipe, no
// permission), tooLargeMessage() above kMaxWholeFileBytes.
std::optional<std::string> readWholeFile(const std::string& path, FileBytes& bytes);

// `result` of a reader of `bytes`, read from `path` by readWholeFile; a
// failure naming the cut when the file was cut short meanwhile, the rows
// read before the cut kept.
LoadResult checkedForCut(LoadResult result, const FileBytes& bytes, const std::string& path);

// "Cannot open file <path>: <reason>", the reason as the system words it
std::string cannotOpenMessage(const std::string& path, const std::string& reason);
// "File <path> is too large (more than 1024 MB)"
std::string tooLargeMessage(const std::string& path);
// "Not enough memory to load <path>"
std::string outOfMemoryMessage(const std::string& path);
// "List index out of bounds (<index>)"
std::string listIndexMessage(std::size_t index);

}  // namespace geovanta

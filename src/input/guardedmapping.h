#pragma once
// A file mapped into memory for reading, guarded against the file shrinking
// meanwhile. The readers walk a big file once, front to back: mapped, its
// pages come in as they are reached and go back as they are passed, so the
// file is never in memory whole, whatever its size.
//
// A page of a mapping that lies past the end of its file, because another
// program cut the file short after it was mapped, cannot be read: the system
// answers with SIGBUS, which would end the program. The guard takes that
// signal for the mappings it knows, puts zeros in the place of the rest of
// the mapping and notes that the file was cut; the read goes on over the
// zeros and the caller, asking cut() afterwards, reports the file as cut.
// The same holds for a page that the disk fails to give. A SIGBUS anywhere
// else goes to whatever handled it before.

#include <cstddef>
#include <memory>

namespace geovanta {

class GuardedMapping {
public:
    ~GuardedMapping();
    GuardedMapping(const GuardedMapping&) = delete;
    GuardedMapping& operator=(const GuardedMapping&) = delete;

    // Maps the first `size` bytes (above 0) of the file open as `descriptor`
    // for reading. Nothing where the system has no such mappings, when the
    // mapping fails or when too many are guarded at once: the caller reads
    // the file instead.
    static std::unique_ptr<GuardedMapping> map(int descriptor, std::size_t size);

    const char* data() const { return data_; }
    std::size_t size() const { return size_; }

    // The bytes before `offset` are done with: their pages leave this
    // process's memory. Read again, they come back from the file.
    void release(std::size_t offset);

    // Some page could not be read (the file was cut short meanwhile, or the
    // disk failed): from there on the bytes read as zeros.
    bool cut() const;

private:
    GuardedMapping(char* data, std::size_t size, std::size_t length, int slot)
        : data_(data), size_(size), length_(length), slot_(slot) {}

    char* data_;
    std::size_t size_;
    std::size_t length_;  // whole pages
    int slot_;            // in the guard's table
    std::size_t released_ = 0;
};

}  // namespace geovanta

#include "input/wholefile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#ifndef _WIN32
#include <sys/mman.h>
#endif

#include "input/guardedmapping.h"
#include "input/positionedfile.h"
#include "table/messages.h"
#include "table/textcodec.h"

namespace geovanta {

namespace {

// Files below this are read into ordinary memory; above it the bytes get a
// mapping of their own, which can be handed back piece by piece.
constexpr std::size_t kMappedBytes = std::size_t{1} << 20;
// Huge pages of the system's memory manager: the file is read into them with
// one fault for each instead of one for every 4 kB, and handed back in them.
constexpr std::size_t kHugePage = std::size_t{2} << 20;

}  // namespace

FileBytes::~FileBytes() {
    if (file_) return;
#ifndef _WIN32
    if (mapped_) {
        ::munmap(data_, mapped_);
        return;
    }
#endif
    delete[] data_;
}

void FileBytes::swap(FileBytes& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
    std::swap(mapped_, other.mapped_);
    std::swap(released_, other.released_);
    std::swap(file_, other.file_);
}

bool FileBytes::allocate(std::size_t size) {
#ifndef _WIN32
    if (size >= kMappedBytes) {
        // Aligned to a huge page, so that every whole one can be one.
        const std::size_t length = (size + kHugePage - 1) / kHugePage * kHugePage;
        void* area = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (area == MAP_FAILED) return false;
        auto* start = static_cast<char*>(area);
        const std::size_t lead = (kHugePage - reinterpret_cast<std::uintptr_t>(start) % kHugePage) % kHugePage;
        if (lead) ::munmap(start, lead);
        if (kHugePage - lead) ::munmap(start + lead + length, kHugePage - lead);
        data_ = start + lead;
        mapped_ = capacity_ = length;
#ifdef MADV_HUGEPAGE
        ::madvise(data_, mapped_, MADV_HUGEPAGE);  // a request; without it pages are small
#endif
        return true;
    }
#endif
    data_ = new (std::nothrow) char[size ? size : 1];
    capacity_ = data_ ? size : 0;
    return data_ != nullptr;
}

bool FileBytes::reserve(std::size_t capacity) {
    if (capacity <= capacity_) return true;
#ifdef __linux__
    if (mapped_) {
        const std::size_t length = (capacity + kHugePage - 1) / kHugePage * kHugePage;
        void* moved = ::mremap(data_, mapped_, length, MREMAP_MAYMOVE);
        if (moved == MAP_FAILED) return false;
        data_ = static_cast<char*>(moved);
        mapped_ = capacity_ = length;
#ifdef MADV_HUGEPAGE
        ::madvise(data_, mapped_, MADV_HUGEPAGE);
#endif
        return true;
    }
#endif
    FileBytes bigger;
    if (!bigger.allocate(capacity)) return false;
    if (size_) std::memcpy(bigger.data_, data_, size_);
    bigger.size_ = size_;
    swap(bigger);
    return true;
}

void FileBytes::release(std::size_t offset) {
    if (file_) {
        file_->release(offset);
        return;
    }
#ifndef _WIN32
    if (!mapped_) return;
    const std::size_t upTo = std::min(offset, size_) / kHugePage * kHugePage;
    if (upTo <= released_) return;
    ::madvise(data_ + released_, upTo - released_, MADV_DONTNEED);
    released_ = upTo;
#else
    (void)offset;
#endif
}

bool FileBytes::cutShort() const { return file_ && file_->cut(); }

bool FileBytes::makeRoom(std::size_t size) {
    *this = FileBytes();
    if (!allocate(size)) return false;
    size_ = size;
    return true;
}

std::optional<std::string> readWholeFile(const std::string& path, FileBytes& bytes) {
    bytes = FileBytes();
    // Refuses pipes and devices without blocking: a FIFO would wait for a
    // writer forever and /dev/zero never ends.
    PositionedFile file;
    if (file.open(path) != PositionedFile::OpenResult::Opened) return cannotOpenMessage(path, file.failureReason());
    if (file.size() > kMaxWholeFileBytes) return tooLargeMessage(path);
    const auto size = static_cast<std::size_t>(file.size());
    if (size >= kMappedBytes) {
        if ((bytes.file_ = GuardedMapping::map(file.descriptor(), size))) {
            bytes.data_ = const_cast<char*>(bytes.file_->data());
            bytes.size_ = bytes.capacity_ = size;
            return std::nullopt;
        }
    }
    if (!bytes.allocate(size)) return outOfMemoryMessage(path);
    const long long got = file.readAt(0, bytes.data_, size);
    if (got < 0) {
        bytes = FileBytes();
        return cannotOpenMessage(path, file.failureReason());
    }
    bytes.size_ = static_cast<std::size_t>(got);  // the file shrank meanwhile
    return std::nullopt;
}

LoadResult checkedForCut(LoadResult result, const FileBytes& bytes, const std::string& path) {
    if (!bytes.cutShort() || result.status == LoadResult::Status::Cancelled) return result;
    const std::size_t altitudes = result.altitudesOutOfRange;
    result = LoadResult::failed(textOf(Msg::FileCutWhileRead, {displayFileName(path)}));
    result.altitudesOutOfRange = altitudes;
    return result;
}

std::string cannotOpenMessage(const std::string& path, const std::string& reason) {
    return textOf(Msg::CannotOpenFile, {displayFileName(path), reason});
}

std::string tooLargeMessage(const std::string& path) {
    return textOf(Msg::FileTooLarge, {displayFileName(path), kMaxWholeFileBytes >> 20});
}

std::string outOfMemoryMessage(const std::string& path) { return textOf(Msg::NotEnoughMemory, {displayFileName(path)}); }

std::string listIndexMessage(std::size_t index) { return textOf(Msg::ListIndexOutOfBounds, {index}); }

}  // namespace geovanta

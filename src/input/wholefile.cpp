#include "input/wholefile.h"

#include <new>

#include "input/positionedfile.h"
#include "table/textcodec.h"

namespace geovanta {

std::optional<std::string> readWholeFile(const std::string& path, FileBytes& bytes) {
    bytes = FileBytes();
    // Refuses pipes and devices without blocking: a FIFO would wait for a
    // writer forever and /dev/zero never ends.
    PositionedFile file;
    if (file.open(path) != PositionedFile::OpenResult::Opened) return cannotOpenMessage(path, file.failureReason());
    if (file.size() > kMaxWholeFileBytes) return tooLargeMessage(path);
    const auto size = static_cast<std::size_t>(file.size());
    try {
        bytes.data_.reset(new char[size ? size : 1]);
    } catch (const std::bad_alloc&) {
        return outOfMemoryMessage(path);
    }
    const long long got = file.readAt(0, bytes.data_.get(), size);
    if (got < 0) {
        bytes = FileBytes();
        return cannotOpenMessage(path, file.failureReason());
    }
    bytes.size_ = static_cast<std::size_t>(got);  // the file shrank meanwhile
    return std::nullopt;
}

std::string cannotOpenMessage(const std::string& path, const std::string& reason) {
    return "Cannot open file " + displayFileName(path) + ": " + reason;
}

std::string tooLargeMessage(const std::string& path) {
    return "File " + displayFileName(path) + " is too large (more than " + std::to_string(kMaxWholeFileBytes >> 20) +
           " MB)";
}

std::string outOfMemoryMessage(const std::string& path) { return "Not enough memory to load " + displayFileName(path); }

std::string listIndexMessage(std::size_t index) { return "List index out of bounds (" + std::to_string(index) + ")"; }

}  // namespace geovanta

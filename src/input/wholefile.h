#pragma once
// Reading a GPS file whole into memory, with the readers' messages for a file
// that cannot be read.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace geovanta {

// Largest file the readers take whole; far beyond any real GPS log, and small
// enough that a mistaken pick (a disk image, a video) fails at once instead of
// exhausting memory.
inline constexpr uint64_t kMaxWholeFileBytes = uint64_t{1} << 30;

// Reads a whole regular file byte for byte into `bytes`, as long as it was
// when opened. Returns the error message instead: cannotOpenMessage() when
// the file cannot be opened or read (missing, a folder, a device or pipe, no
// permission), tooLargeMessage() above kMaxWholeFileBytes.
std::optional<std::string> readWholeFile(const std::string& path, std::string& bytes);

// "Cannot open file <path>"
std::string cannotOpenMessage(const std::string& path);
// "File <path> is too large (more than 1024 MB)"
std::string tooLargeMessage(const std::string& path);
// "Not enough memory to load <path>"
std::string outOfMemoryMessage(const std::string& path);
// "List index out of bounds (<index>)"
std::string listIndexMessage(std::size_t index);

}  // namespace geovanta
